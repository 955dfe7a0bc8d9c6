// Which names the file system can be trusted to read as exactly one entry of
// a folder: an account name before it is joined to a path, and every entry
// that the removal opens by its name. Under Wine a Linux name may hold what
// Windows reads as a path, a wildcard or a name without its last character.
#pragma once

#include "app/ErrorTexts.h"

#include <optional>
#include <string>

namespace vardelune {

// Why the name cannot stand for one entry on its own; nothing when it can.
// Device names (CON, NUL, LPT1 ...) are plain names here: entries are opened
// relative to their folder's handle, where they mean no device.
std::optional<UnsafeName> UnsafeEntryName(const std::wstring& name);

}  // namespace vardelune
