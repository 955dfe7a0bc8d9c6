// Directory enumeration with a wildcard expression and an attribute mask, one
// name per call, with the search held open between calls.
#pragma once

#include "platform/win32/UniqueHandle.h"

#include <string>

namespace vardelune {

// Whether an entry with these attributes is returned under the mask: the
// hidden, system and directory bits of the entry must all be in the mask;
// read-only and archive never exclude an entry, so normal files always match.
bool AttributesAllowed(DWORD entryAttributes, unsigned mask);

class FsEnumeration {
public:
    // Starts a new search (ending any earlier one) and returns the first
    // allowed name; empty when the folder is missing or nothing matches.
    std::wstring First(const std::wstring& expression, unsigned attributes);
    // The next allowed name of the current search; empty once it is
    // exhausted, and on every call after that.
    std::wstring Next();

private:
    // The first allowed name from the entry in hand onwards.
    std::wstring Allowed(WIN32_FIND_DATAW& data);

    FsFindHandle search_;
    unsigned attributes_ = 0;
};

}  // namespace vardelune
