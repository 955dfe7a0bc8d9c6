// Entry point of Vardelune.exe: OLE for the pictures and the script objects,
// the platform, the windows and the program, then the message loop.
#include "app/ErrorTexts.h"
#include "app/Program.h"
#include "forms/Windows.h"
#include "platform/win32/Win32Host.h"
#include "platform/win32/Win32Platform.h"

#include <windows.h>
#include <ole2.h>

namespace {

// OLE for the thread's lifetime: the picture loader and the shell objects need it.
class OleSession {
public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    ~OleSession() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

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
    OleSession ole;
    if (FAILED(ole.Result())) {
        ReportStartFailure(vardelune::kOleStartFailureText);
        return 1;
    }
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
