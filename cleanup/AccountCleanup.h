// The "Réparer" action: deletes the chosen account's Messenger folder, then its
// Contacts folder, after showing the results window.
#pragma once

#include "app/Program.h"

#include <string>

namespace vardelune {

// Click handler of the main window's "Réparer" button.
void CleanSelectedAccount(Program& program);

// Deletes one account folder through the given deletion object, refusing
// anything that would reach outside the folder. A path where nothing exists
// is already clean.
void DeleteAccountFolder(Platform& platform, FolderDeletionObject& deleter, const std::wstring& path);

}  // namespace vardelune
