// The error window's message and its button.
#include "cleanup/NoSelectionMessage.h"

#include "cleanup/WindowNames.h"

namespace vardelune {

namespace {

const wchar_t* const kStoredMessage = L"Vous n'avez rien selectionné\\nmerci de choisir une session";

}  // namespace

std::wstring ExpandLineBreaks(const std::wstring& stored) {
    std::wstring expanded;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == L'\\' && i + 1 < stored.size() && stored[i + 1] == L'n') {
            expanded += L"\r\n";
            ++i;
        } else {
            expanded += stored[i];
        }
    }
    return expanded;
}

void LoadNoSelectionMessage(Program& program) {
    program.form(kErrorWindow).control(error_window::kMessage).SetText(ExpandLineBreaks(kStoredMessage));
}

void HideNoSelectionMessage(Program& program) { program.HideForm(kErrorWindow); }

}  // namespace vardelune
