// The shortcuts that open the Messenger data folder, the Contacts data folder
// and the temporary folder in the file browser for cleaning by hand.
#pragma once

#include "app/Program.h"

namespace vardelune {

// Puts the cover back first when one is named, then opens the profile folder
// followed by the suffix in the file browser without waiting for it.
void OpenDataFolder(Program& program, const char* cover, const wchar_t* suffix);

// The main window's two "Ouvrir" buttons and its temporary-folder link; the
// link leaves its cover hidden.
void OpenMessengerFolder(Program& program);
void OpenContactsFolder(Program& program);
void OpenTempFolder(Program& program);

}  // namespace vardelune
