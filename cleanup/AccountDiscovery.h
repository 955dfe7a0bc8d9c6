// Fills the main window's account list with the entries of Messenger's data
// folder whose names contain an "@", one per account.
#pragma once

#include "app/Program.h"

namespace vardelune {

// Appends every matching entry to List1 in the file system's order, all in
// one change; the caller clears the list where needed. Selects nothing.
void ListAccounts(Program& program);

// Load handler of the main window: the profile paths, then the account list.
void LoadMainWindow(Program& program);

}  // namespace vardelune
