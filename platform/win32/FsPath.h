// Paths as the file functions are given them: a path too long for the
// classic limit goes through the extended-length form; a folder opened by its
// path to be listed.
#pragma once

#include "platform/win32/Owners.h"

#include <string>

namespace vardelune {

// The path unchanged when it fits in MAX_PATH - 1 characters; otherwise its
// full form with the \\?\ (or \\?\UNC\) prefix, which lifts the limit. A
// long path that is neither a drive path nor a share is returned unchanged.
std::wstring ToSystemPath(const std::wstring& path);

// The folder at the path, opened to list it and to open its entries through
// it; an empty handle when nothing is there, or a file is. Other failures
// throw.
FileHandle OpenFolderForListing(const std::wstring& path);

}  // namespace vardelune
