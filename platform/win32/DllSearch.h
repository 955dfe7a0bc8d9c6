// Users start this program from their Downloads folder: a DLL planted there
// must never be loaded in place of a system one.
#pragma once

namespace vardelune {

// Limits the DLL search to the system folder (SetDefaultDllDirectories, from
// Windows 7 with its update and Windows 8 on), else takes the program's
// current folder out of it (SetDllDirectoryW, from Windows XP SP1 on). Both
// are looked up at run time; without either nothing changes.
void RestrictDllSearchToSystemFolder();

}  // namespace vardelune
