// The three window classes of the program, each a layout with its handler table.
#pragma once

#include "app/Program.h"

#include <string>

namespace vardelune {

const FormSpec& MainWindowSpec();
const FormSpec& ResultsWindowSpec();
const FormSpec& ErrorWindowSpec();

// The results message naming the account whose folders are being deleted.
std::wstring ResultsMessage(const std::wstring& account);

// The error window's stored message with every two-character "\n" turned into
// a line break.
std::wstring ExpandLineBreaks(const std::wstring& stored);

// Sets the results message for the account and shows the results window.
void ShowResults(Program& program, const std::wstring& account);

// The results window's buttons.
void RelaunchMessenger(Program& program);
void BackToList(Program& program);

}  // namespace vardelune
