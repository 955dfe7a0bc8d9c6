// The native records that the listing and the removal declare themselves
// (NtFile.h) must lie in memory exactly as ntdll writes and reads them, on
// 32-bit and 64-bit Windows alike; a field out of place would read a wrong
// name or length, not fail. The numbers are Windows' own: the records' sizes
// and offsets in the system's symbols for x86 and x64, and MS-FSCC 2.4 for
// the directory records, whose layouts are the same on both.
#include "platform/win32/NtFile.h"

#include <cstddef>

namespace vardelune::nt {
namespace {

constexpr bool k64Bit = sizeof(void*) == 8;
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "a 32-bit or a 64-bit build");

// UNICODE_STRING: two counts, then the pointer at its natural alignment.
static_assert(sizeof(UnicodeString) == (k64Bit ? 16 : 8), "UNICODE_STRING's size");
static_assert(offsetof(UnicodeString, Length) == 0 && offsetof(UnicodeString, MaximumLength) == 2,
              "UNICODE_STRING's counts");
static_assert(offsetof(UnicodeString, Buffer) == (k64Bit ? 8 : 4), "UNICODE_STRING's buffer");

// OBJECT_ATTRIBUTES: 24 bytes on x86, 48 on x64 (every ULONG padded to a pointer).
static_assert(sizeof(ObjectAttributes) == (k64Bit ? 48 : 24), "OBJECT_ATTRIBUTES's size");
static_assert(offsetof(ObjectAttributes, RootDirectory) == (k64Bit ? 8 : 4), "OBJECT_ATTRIBUTES.RootDirectory");
static_assert(offsetof(ObjectAttributes, ObjectName) == (k64Bit ? 16 : 8), "OBJECT_ATTRIBUTES.ObjectName");
static_assert(offsetof(ObjectAttributes, Attributes) == (k64Bit ? 24 : 12), "OBJECT_ATTRIBUTES.Attributes");
static_assert(offsetof(ObjectAttributes, SecurityDescriptor) == (k64Bit ? 32 : 16),
              "OBJECT_ATTRIBUTES.SecurityDescriptor");
static_assert(offsetof(ObjectAttributes, SecurityQualityOfService) == (k64Bit ? 40 : 20),
              "OBJECT_ATTRIBUTES.SecurityQualityOfService");

// IO_STATUS_BLOCK: the status (or a pointer) then ULONG_PTR Information.
static_assert(sizeof(IoStatusBlock) == (k64Bit ? 16 : 8), "IO_STATUS_BLOCK's size");
static_assert(offsetof(IoStatusBlock, information) == (k64Bit ? 8 : 4), "IO_STATUS_BLOCK.Information");

// FILE_ID_BOTH_DIR_INFORMATION: 64-bit fields at 8-byte offsets on both
// architectures, so FileId sits at 96 after the 12-character short name, and
// the name at 104.
static_assert(offsetof(DirectoryEntry, FileIndex) == 4 && offsetof(DirectoryEntry, CreationTime) == 8,
              "FILE_ID_BOTH_DIR_INFORMATION's head");
static_assert(offsetof(DirectoryEntry, EndOfFile) == 40 && offsetof(DirectoryEntry, AllocationSize) == 48,
              "FILE_ID_BOTH_DIR_INFORMATION's sizes");
static_assert(offsetof(DirectoryEntry, FileAttributes) == 56 && offsetof(DirectoryEntry, FileNameLength) == 60,
              "FILE_ID_BOTH_DIR_INFORMATION's attributes and name length");
static_assert(offsetof(DirectoryEntry, EaSize) == 64 && offsetof(DirectoryEntry, ShortNameLength) == 68 &&
                  offsetof(DirectoryEntry, ShortName) == 70,
              "FILE_ID_BOTH_DIR_INFORMATION's short name");
static_assert(offsetof(DirectoryEntry, FileId) == 96, "FILE_ID_BOTH_DIR_INFORMATION.FileId");
static_assert(offsetof(DirectoryEntry, FileName) == 104, "FILE_ID_BOTH_DIR_INFORMATION.FileName");

// FILE_DIRECTORY_INFORMATION and FILE_NAMES_INFORMATION, the account
// listing's lighter records: the same on both architectures.
static_assert(offsetof(DirectoryInformation, fileAttributes) == 56 &&
                  offsetof(DirectoryInformation, fileNameLength) == 60 &&
                  offsetof(DirectoryInformation, fileName) == 64,
              "FILE_DIRECTORY_INFORMATION");
static_assert(offsetof(NamesInformation, fileNameLength) == 8 && offsetof(NamesInformation, fileName) == 12,
              "FILE_NAMES_INFORMATION");

}  // namespace
}  // namespace vardelune::nt
