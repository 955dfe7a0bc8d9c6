// The native file calls that the folder removal needs and Win32 lacks before
// Vista: open an entry relative to its folder's handle, list a folder through
// its handle, delete through a handle, read the name the system gives an open
// file. ntdll has them all from Windows XP on; they are looked up at run time.
#pragma once

#include <windows.h>

#include <string>

namespace vardelune::nt {

using Status = LONG;

constexpr Status kBufferOverflow = static_cast<Status>(0x80000005L);
constexpr Status kNoMoreFiles = static_cast<Status>(0x80000006L);
constexpr Status kNoSuchFile = static_cast<Status>(0xC000000FL);
constexpr Status kObjectNameNotFound = static_cast<Status>(0xC0000034L);
constexpr Status kObjectPathNotFound = static_cast<Status>(0xC000003AL);
constexpr Status kTooManyOpenedFiles = static_cast<Status>(0xC000011FL);
constexpr Status kAccessDenied = static_cast<Status>(0xC0000022L);
constexpr Status kSharingViolation = static_cast<Status>(0xC0000043L);
constexpr Status kCannotDelete = static_cast<Status>(0xC0000121L);
constexpr Status kNotADirectory = static_cast<Status>(0xC0000103L);
constexpr Status kFileIsADirectory = static_cast<Status>(0xC00000BAL);

inline bool Failed(Status status) { return status < 0; }
inline bool IsNotFound(Status status) {
    return status == kObjectNameNotFound || status == kObjectPathNotFound || status == kNoSuchFile;
}

struct UnicodeString {
    USHORT Length;
    USHORT MaximumLength;
    PWSTR Buffer;
};

// The text as a counted string, valid while the text is.
inline UnicodeString Counted(const std::wstring& text) {
    const auto bytes = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return UnicodeString{bytes, bytes, const_cast<PWSTR>(text.c_str())};
}

struct ObjectAttributes {
    ULONG Length;
    HANDLE RootDirectory;
    UnicodeString* ObjectName;
    ULONG Attributes;
    PVOID SecurityDescriptor;
    PVOID SecurityQualityOfService;
};

struct IoStatusBlock {
    union {
        Status status;
        PVOID pointer;
    };
    ULONG_PTR information;
};

// FILE_ID_BOTH_DIR_INFORMATION: one entry of a folder listing.
struct DirectoryEntry {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime;
    LARGE_INTEGER LastAccessTime;
    LARGE_INTEGER LastWriteTime;
    LARGE_INTEGER ChangeTime;
    LARGE_INTEGER EndOfFile;
    LARGE_INTEGER AllocationSize;
    ULONG FileAttributes;
    ULONG FileNameLength;
    ULONG EaSize;
    CCHAR ShortNameLength;
    WCHAR ShortName[12];
    LARGE_INTEGER FileId;
    WCHAR FileName[1];
};

// FILE_DIRECTORY_INFORMATION and FILE_NAMES_INFORMATION: the lighter listings
// of the account enumeration.
struct DirectoryInformation {
    ULONG nextEntryOffset;
    ULONG fileIndex;
    LARGE_INTEGER creationTime, lastAccessTime, lastWriteTime, changeTime, endOfFile, allocationSize;
    ULONG fileAttributes;
    ULONG fileNameLength;  // in bytes
    WCHAR fileName[1];
};
struct NamesInformation {
    ULONG nextEntryOffset;
    ULONG fileIndex;
    ULONG fileNameLength;  // in bytes
    WCHAR fileName[1];
};

constexpr int kFileDirectoryInformation = 1;
constexpr int kFileNameInformation = 9;
constexpr int kFileNamesInformation = 12;
constexpr int kFileDispositionInformation = 13;
constexpr int kFileIdBothDirectoryInformation = 37;

// Open options of NtOpenFile.
constexpr ULONG kDirectoryFile = 0x00000001;
constexpr ULONG kSynchronousIo = 0x00000020;
constexpr ULONG kNonDirectoryFile = 0x00000040;
constexpr ULONG kOpenForBackupIntent = 0x00004000;
constexpr ULONG kOpenReparsePoint = 0x00200000;

// The functions, looked up in ntdll once; any of them may be missing (a
// substitute system), and the removal then refuses to start.
struct Functions {
    Status(NTAPI* OpenFile)(PHANDLE, ACCESS_MASK, ObjectAttributes*, IoStatusBlock*, ULONG share, ULONG options);
    Status(NTAPI* QueryDirectoryFile)(HANDLE, HANDLE event, PVOID apc, PVOID apcContext, IoStatusBlock*, PVOID buffer,
                                      ULONG length, int informationClass, BOOLEAN single, UnicodeString* mask,
                                      BOOLEAN restart);
    Status(NTAPI* SetInformationFile)(HANDLE, IoStatusBlock*, PVOID, ULONG, int informationClass);
    Status(NTAPI* QueryInformationFile)(HANDLE, IoStatusBlock*, PVOID, ULONG, int informationClass);
    ULONG(NTAPI* StatusToDosError)(Status);

    bool Complete() const {
        return OpenFile && QueryDirectoryFile && SetInformationFile && QueryInformationFile && StatusToDosError;
    }
};

const Functions& Ntdll();

// ntdll exports wine_get_version: the system is Wine, whose links to files
// carry no link attribute.
bool RunningUnderWine();

}  // namespace vardelune::nt
