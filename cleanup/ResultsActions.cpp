// The results window's message and buttons.
#include "cleanup/ResultsActions.h"

#include "cleanup/AccountDiscovery.h"
#include "cleanup/WindowNames.h"

namespace vardelune {

std::wstring ResultsMessage(const std::wstring& account) {
    return L"Les dossiers de ''" + account +
           L"'' ont été supprimés, si c'est pas le cas il faut le faire a la main avec les deux boutons ''Ouvrir''";
}

void ShowResults(Program& program, const std::wstring& account) {
    program.form(kResultsWindow).control(results_window::kMessage).SetText(ResultsMessage(account));
    program.ShowForm(kResultsWindow);
}

void RelaunchMessenger(Program& program) {
    const NativeWindowHandle window = program.host().FormWindowHandle(program.form(kResultsWindow));
    // The platform starts the program registered for msnmsgr.exe (App Paths)
    // or lets the shell look for it; whether it could start it makes no
    // difference, the program ends either way.
    program.platform().ShellExecuteA(window, "open", "msnmsgr.exe", "", "C:\\Windows\\", 1);
    program.EndProgram();
}

void BackToList(Program& program) {
    program.HideForm(kResultsWindow);
    program.form(kMainWindow).control(main_window::kAccountList).Clear();
    ListAccounts(program);
}

}  // namespace vardelune
