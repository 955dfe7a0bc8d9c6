// What lies at a path about to be deleted, seen without following links.
#pragma once

#include "platform/Platform.h"

namespace vardelune {

// Absent, a file, a folder with no link anywhere inside, or the first link
// (symbolic link, junction or other reparse point) found at or under the
// path. The walk never enters a link; errors other than "not found" throw.
DeletionTarget ProbeFsDeletionTarget(const std::wstring& path);

}  // namespace vardelune
