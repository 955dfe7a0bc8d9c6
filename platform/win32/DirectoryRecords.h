// One reader of the records that the system's directory query writes, for the
// listing and the removal alike: no record, and no name, is read beyond the
// bytes that the query reports it filled.
#pragma once

#include <windows.h>

#include <cstddef>

namespace vardelune {

// One entry as a record gives it; the name points into the query's buffer.
struct DirectoryRecord {
    const wchar_t* name = nullptr;
    size_t nameLength = 0;  // in characters
    ULONG attributes = 0;  // 0 where the information class carries none
    LONGLONG fileId = 0;  // 0 where the information class carries none
};

class DirectoryRecords {
public:
    // The records of one query of that information class (nt::kFileNamesInformation,
    // kFileDirectoryInformation or kFileIdBothDirectoryInformation), of which
    // `filled` bytes were written.
    DirectoryRecords(int informationClass, const void* bytes, size_t filled);
    DirectoryRecords() = default;

    // The next whole record; false once there is none, or once a record
    // claims more bytes than were filled.
    bool Next(DirectoryRecord& record);

private:
    const unsigned char* bytes_ = nullptr;
    size_t filled_ = 0;
    size_t offset_ = 0;
    size_t header_ = 0;  // bytes before the name
    size_t nameLengthAt_ = 0;
    size_t attributesAt_ = 0;  // 0: none
    size_t fileIdAt_ = 0;  // 0: none
};

}  // namespace vardelune
