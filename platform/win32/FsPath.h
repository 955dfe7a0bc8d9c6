// Paths as the file functions are given them: a path too long for the
// classic limit goes through the extended-length form.
#pragma once

#include <string>

namespace vardelune {

// The path unchanged when it fits in MAX_PATH - 1 characters; otherwise its
// full form with the \\?\ (or \\?\UNC\) prefix, which lifts the limit. A
// long path that is neither a drive path nor a share is returned unchanged.
std::wstring ToSystemPath(const std::wstring& path);

}  // namespace vardelune
