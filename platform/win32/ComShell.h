// The shell automation object (IShellDispatch), whose Explore opens a file
// browser window on a folder.
#pragma once

#include "app/Platform.h"

#include <memory>

namespace vardelune {

// Creates a new shell object; throws ProgramError when it cannot.
std::unique_ptr<ShellObject> CreateComShellObject();

}  // namespace vardelune
