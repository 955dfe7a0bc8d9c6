// The error window's request to choose an account, stored with a literal
// backslash-n that becomes a line break when the window loads.
#pragma once

#include "app/Program.h"

#include <string>

namespace vardelune {

// The stored message with every two-character "\n" turned into a line break.
std::wstring ExpandLineBreaks(const std::wstring& stored);

// Load handler of the error window: sets its two-line message.
void LoadNoSelectionMessage(Program& program);

// The error window's "Recommencer": hides the window, which stays loaded.
void HideNoSelectionMessage(Program& program);

}  // namespace vardelune
