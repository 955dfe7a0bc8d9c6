// The folder-deletion object: the script runtime's "Scripting.FileSystemObject",
// reached by name through IDispatch as a script would reach it.
#pragma once

#include "platform/Platform.h"

#include <memory>

namespace vardelune {

// Creates a new file system object; throws ProgramError when it cannot.
std::unique_ptr<FolderDeletionObject> CreateComFolderDeletionObject();

}  // namespace vardelune
