// The shortcuts that open the Messenger data folder, the Contacts data folder
// and the temporary folder in the file browser for cleaning by hand.
#pragma once

#include "app/Program.h"

namespace vardelune {

// Puts the cover back first when one is named, then opens the profile folder
// followed by the suffix in the file browser without waiting for it.
void OpenDataFolder(Program& program, const char* cover, const wchar_t* suffix);

}  // namespace vardelune
