// Entry point of Vardelune.exe: the platform, the windows and the program,
// then the message loop. OLE starts with the first handler that needs it.
#include "app/ErrorTexts.h"
#include "app/Program.h"
#include "forms/Windows.h"
#include "host/Win32Host.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace {

void RunMessageLoop(vardelune::Program& program, vardelune::Win32Host& host) {
    MSG message;
    while (!program.ended() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (host.HandleKeyboardNavigation(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A failure before the program's own error report exists.
void ReportStartFailure(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), vardelune::kErrorReportTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    vardelune::RestrictDllSearchToSystemFolder();
    try {
        vardelune::Win32Platform platform;
        vardelune::Win32Host host(instance);
        vardelune::Program program(platform, host, vardelune::ProgramWindows());
        host.Attach(program);
        program.Start();
        RunMessageLoop(program, host);
    } catch (const vardelune::ProgramError& error) {
        ReportStartFailure(vardelune::ErrorReportText(error.number(), error.description()));
        return 1;
    } catch (...) {
        ReportStartFailure(vardelune::kStartFailureText);
        return 1;
    }
    return 0;
}
