// Which listed account names can be deleted as one folder directly inside the
// data folder: the listing shows names as the file system gives them, and
// under Wine a Linux name may hold what Windows reads as a path.
#pragma once

#include "app/ErrorTexts.h"

#include <optional>
#include <string>

namespace vardelune {

// Why the name cannot be used as a folder name on its own; nothing when it can.
std::optional<UnsafeName> UnsafeAccountName(const std::wstring& name);

}  // namespace vardelune
