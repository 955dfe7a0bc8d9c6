// The native file calls that the folder removal needs and Win32 lacks before
// Vista: open an entry relative to its folder's handle, list a folder through
// its handle, delete through a handle, read what the system says of an open
// entry (its id, attributes, device and real name). ntdll has them all from
// Windows XP on; they are looked up at run time.
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
constexpr Status kNoSuchDevice = static_cast<Status>(0xC000000EL);
constexpr Status kDeletePending = static_cast<Status>(0xC0000056L);
// What a system without a given information class answers (Wine 8 for the
// POSIX delete: not implemented).
constexpr Status kNotImplemented = static_cast<Status>(0xC0000002L);
constexpr Status kInvalidInfoClass = static_cast<Status>(0xC0000003L);
constexpr Status kInvalidParameter = static_cast<Status>(0xC000000DL);
constexpr Status kNotSupported = static_cast<Status>(0xC00000BBL);

inline bool Failed(Status status) { return status < 0; }
inline bool Succeeded(Status status) { return status >= 0; }
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
constexpr int kFileInternalInformation = 6;  // the entry's id: LARGE_INTEGER
constexpr int kFileNamesInformation = 12;
constexpr int kFileDispositionInformation = 13;
constexpr int kFileAttributeTagInformation = 35;  // FileAttributes, ReparseTag
constexpr int kFileIdBothDirectoryInformation = 37;
// FILE_DISPOSITION_INFORMATION_EX: ULONG flags. Windows 10 version 1607 and later.
constexpr int kFileDispositionInformationEx = 64;
constexpr ULONG kDispositionDelete = 0x1;
constexpr ULONG kDispositionPosixSemantics = 0x2;

// NtQueryObject's class for an object's name: a UnicodeString followed by the text.
constexpr int kObjectNameInformation = 1;
// NtQueryVolumeInformationFile's class for the device: DeviceType, Characteristics.
constexpr int kFileFsDeviceInformation = 4;

// Object attributes: match the name ignoring case.
constexpr ULONG kCaseInsensitive = 0x00000040;

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
    Status(NTAPI* QueryObject)(HANDLE, int informationClass, PVOID, ULONG, PULONG returned);
    Status(NTAPI* QueryVolumeInformationFile)(HANDLE, IoStatusBlock*, PVOID, ULONG, int informationClass);
    BOOLEAN(NTAPI* EqualUnicodeString)(const UnicodeString*, const UnicodeString*, BOOLEAN caseInsensitive);
    ULONG(NTAPI* StatusToDosError)(Status);

    bool Complete() const {
        return OpenFile && QueryDirectoryFile && SetInformationFile && QueryInformationFile && QueryObject &&
               QueryVolumeInformationFile && EqualUnicodeString && StatusToDosError;
    }
};

const Functions& Ntdll();

}  // namespace vardelune::nt
