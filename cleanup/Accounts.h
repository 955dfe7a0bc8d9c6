// What counts as an account, in one place: an entry of Messenger's data
// folder, file or folder whatever its attributes, whose name contains an "@";
// and which of those names the cleanup may join to a path. The name rule is
// the one for every entry that the removal opens by name (app/EntryNames.h),
// since the account folder is one of them: under Wine a Linux name may hold
// what Windows reads as a path, a wildcard or a name without its last character.
#pragma once

#include "app/EntryNames.h"

namespace vardelune {

// The listing's wildcard pattern, behind Messenger's data folder.
inline constexpr wchar_t kAccountNamePattern[] = L"*@*";

// Read-only, hidden, system, directory and archive: files and folders alike,
// whatever their attributes.
constexpr unsigned kAccountAttributeMask = 55;

}  // namespace vardelune
