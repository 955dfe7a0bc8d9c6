// The fields are copied out rather than read in place, so that nothing here
// depends on the buffer's alignment.
#include "platform/win32/DirectoryRecords.h"

#include "platform/win32/NtFile.h"

#include <cstring>

namespace vardelune {

namespace {

template <typename Field>
Field Read(const unsigned char* record, size_t at) {
    Field field;
    std::memcpy(&field, record + at, sizeof field);
    return field;
}

}  // namespace

DirectoryRecords::DirectoryRecords(int informationClass, const void* bytes, size_t filled)
    : bytes_(static_cast<const unsigned char*>(bytes)), filled_(filled) {
    switch (informationClass) {
        case nt::kFileNamesInformation:
            header_ = offsetof(nt::NamesInformation, fileName);
            nameLengthAt_ = offsetof(nt::NamesInformation, fileNameLength);
            break;
        case nt::kFileDirectoryInformation:
            header_ = offsetof(nt::DirectoryInformation, fileName);
            nameLengthAt_ = offsetof(nt::DirectoryInformation, fileNameLength);
            attributesAt_ = offsetof(nt::DirectoryInformation, fileAttributes);
            break;
        default:  // kFileIdBothDirectoryInformation
            header_ = offsetof(nt::DirectoryEntry, FileName);
            nameLengthAt_ = offsetof(nt::DirectoryEntry, FileNameLength);
            attributesAt_ = offsetof(nt::DirectoryEntry, FileAttributes);
            fileIdAt_ = offsetof(nt::DirectoryEntry, FileId);
            break;
    }
}

bool DirectoryRecords::Next(DirectoryRecord& record) {
    if (!bytes_ || offset_ > filled_ || filled_ - offset_ < header_) return false;
    const unsigned char* at = bytes_ + offset_;
    const ULONG next = Read<ULONG>(at, 0);
    const ULONG nameBytes = Read<ULONG>(at, nameLengthAt_);
    if (nameBytes > filled_ - offset_ - header_) {
        bytes_ = nullptr;
        return false;
    }
    record.name = reinterpret_cast<const wchar_t*>(at + header_);
    record.nameLength = nameBytes / sizeof(wchar_t);
    record.attributes = attributesAt_ ? Read<ULONG>(at, attributesAt_) : 0;
    record.fileId = fileIdAt_ ? Read<LONGLONG>(at, fileIdAt_) : 0;
    // The last record says so with an offset of 0; one that points past the
    // filled bytes, or off the 8-byte alignment of records, ends the run as well.
    if (next == 0 || next > filled_ - offset_ || next % 8 != 0)
        bytes_ = nullptr;
    else
        offset_ += next;
    return true;
}

}  // namespace vardelune
