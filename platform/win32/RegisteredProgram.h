// The full path that Windows registers for a program under its "App Paths"
// key, so that the program is started from there and not found by the shell's
// search, which looks beside Vardelune.exe (a Downloads folder) first.
#pragma once

#include <string>

namespace vardelune {

// The registered executable for a bare file name such as "msnmsgr.exe", in
// the user's then the machine's registry (on a 64-bit build, both views of
// the machine's); empty when none is registered, or when what is registered
// is not an existing file.
std::string RegisteredProgramPath(const std::string& file);

}  // namespace vardelune
