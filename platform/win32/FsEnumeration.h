// Directory enumeration with a wildcard expression and an attribute mask, one
// name per call, with the folder held open between calls.
#pragma once

#include "platform/win32/DirectoryRecords.h"
#include "platform/win32/Owners.h"

#include <string>
#include <vector>

namespace vardelune {

// Whether an entry with these attributes is returned under the mask: the
// hidden, system and directory bits of the entry must all be in the mask;
// read-only and archive never exclude an entry, so normal files always match.
bool AttributesAllowed(DWORD entryAttributes, unsigned mask);

// The folder's entries are read many at a time through the system's own
// directory query, the call beneath FindFirstFileW, and the pattern is
// matched by the file system as for FindFirstFileW. When the mask filters
// nothing, as the account listing's does, the query is asked for the names
// alone: under Wine it lists 10,000 accounts in about 33 ms that way, against
// 45 ms through FindFirstFileW.
class FsEnumeration {
public:
    // Starts a new search (ending any earlier one) and returns the first
    // allowed name; empty when the folder is missing or nothing matches.
    std::wstring First(const std::wstring& expression, unsigned attributes);
    // The next allowed name of the current search; empty once it is
    // exhausted, and on every call after that.
    std::wstring Next();

private:
    // Reads the next run of entries into batch_; false once there are none.
    bool Fetch(const std::wstring* pattern);
    // Ends the search, closing the folder.
    void Close();

    FileHandle folder_;
    std::vector<unsigned long long> batch_;  // 8-byte aligned, as the entries are
    DirectoryRecords records_;  // what is left of the last query's run in batch_
    bool namesOnly_ = false;
    bool skipDots_ = false;
    unsigned attributes_ = 0;
};

}  // namespace vardelune
