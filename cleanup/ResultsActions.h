// The results window's actions: its message naming the account, and its two
// picture buttons, quit and start Messenger again, or back to the list.
#pragma once

#include "app/Program.h"

#include <string>

namespace vardelune {

// The results message naming the account whose folders are being deleted.
std::wstring ResultsMessage(const std::wstring& account);

// Sets the results message for the account and shows the results window.
void ShowResults(Program& program, const std::wstring& account);

// Starts Messenger through the shell, then ends the program.
void RelaunchMessenger(Program& program);

// Hides the results window and lists the accounts afresh.
void BackToList(Program& program);

}  // namespace vardelune
