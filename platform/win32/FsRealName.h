// Finds, under Wine, the entries of a folder that lie behind a symbolic link
// to a file, which carry no link attribute there.
#pragma once

#include <string>

namespace vardelune {

// Under Wine a Unix symbolic link to a file shows as a plain file, and the
// folder deletion removes the file it points to, wherever that is. The name
// that the system gives an opened file is its real one, so an entry whose real
// name is not the one it was found under lies behind a link. Elsewhere the
// link attribute tells, and this check does nothing.
class FsRealNameCheck {
public:
    // root: the folder about to be walked, by the path the walk uses.
    explicit FsRealNameCheck(const std::wstring& root);

    enum class Placement {
        Here,       // the entry is where the walk found it
        Elsewhere,  // it lies behind a link
        Unknown     // its real name, or the root's, could not be read
    };
    // Where the entry, found by the walk at that path under the root, really is.
    Placement PlaceOf(const std::wstring& entry) const;

private:
    using QueryFunction = long(__stdcall*)(void*, void*, void*, unsigned long, int);
    bool RealName(const std::wstring& path, std::wstring& name) const;

    bool needed_ = false;  // under Wine only
    bool rootKnown_ = false;
    QueryFunction query_ = nullptr;
    std::wstring root_;
    std::wstring realRoot_;
};

}  // namespace vardelune
