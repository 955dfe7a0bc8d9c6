// What counts as an account, in one place: an entry of Messenger's data
// folder, file or folder whatever its attributes, whose name contains an "@";
// and which of those names can be deleted as one folder directly inside the
// data folder (the listing shows names as the file system gives them, and
// under Wine a Linux name may hold what Windows reads as a path).
#pragma once

#include "app/ErrorTexts.h"

#include <optional>
#include <string>

namespace vardelune {

// The listing's wildcard pattern, behind Messenger's data folder.
inline constexpr wchar_t kAccountNamePattern[] = L"*@*";

// Read-only, hidden, system, directory and archive: files and folders alike,
// whatever their attributes.
constexpr unsigned kAccountAttributeMask = 55;

// Why the name cannot be used as a folder name on its own; nothing when it can.
std::optional<UnsafeName> UnsafeAccountName(const std::wstring& name);

}  // namespace vardelune
