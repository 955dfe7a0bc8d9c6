// The "Réparer" action: deletes the chosen account's Messenger folder, then its
// Contacts folder, after showing the results window.
#pragma once

#include "app/Program.h"

namespace vardelune {

// Click handler of the main window's "Réparer" button.
void CleanSelectedAccount(Program& program);

}  // namespace vardelune
