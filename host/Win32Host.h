// The program's windows on a Windows screen: one native window per loaded
// form, the error report's message box, the busy state of long work, and the
// keyboard navigation that the message loop hands to the active window.
#pragma once

#include "app/WindowHost.h"
#include "host/BusyPump.h"
#include "host/Fonts.h"
#include "host/FormWindow.h"
#include "host/Pictures.h"
#include "platform/win32/GdiOwners.h"

#include <windows.h>

#include <array>
#include <memory>

namespace vardelune {

// The program's icon at the size of the two system metrics (SM_CXICON and
// SM_CYICON, or the small ones), from the module's resources.
HICON LoadProgramIcon(HINSTANCE module, int widthMetric, int heightMetric);

class Win32Host final : public WindowHost {
public:
    // Registers the window class and loads the program icon; throws a
    // ProgramError when the system refuses. The icon and the pictures come
    // from `resources`, which is the program's own module unless a test
    // borrows them from the built program.
    explicit Win32Host(HINSTANCE module, HINSTANCE resources = nullptr);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // The program whose forms this host shows; set before it starts.
    void Attach(Program& program) { program_ = &program; }

    void CreateFormWindow(Form& form) override;
    void DestroyFormWindow(Form& form) override;
    void SetFormWindowVisible(Form& form, bool visible) override;
    NativeWindowHandle FormWindowHandle(Form& form) override;
    int DotsPerInch() override { return dotsPerInch_; }
    void ShowErrorReport(const std::wstring& text) override;
    void PaintNow() override;
    void SetBusy(bool busy) override { pump_.SetBusy(busy); }
    void KeepResponsive() override { pump_.KeepResponsive(); }
    void OnControlChanged(Form& form, Control& control, ControlChange change) override;

    // Tab, Space and Enter for the active window of ours; true when the
    // message was handled there and must not be dispatched again.
    bool HandleKeyboardNavigation(MSG& message);

private:
    FormWindow* WindowOf(const Form& form) const;

    HINSTANCE module_;
    HINSTANCE resources_;
    Program* program_ = nullptr;
    ATOM windowClass_ = 0;
    int dotsPerInch_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    FontCache fonts_;
    PictureCache pictures_;
    BusyPump pump_;
    std::array<std::unique_ptr<FormWindow>, 3> windows_;
};

}  // namespace vardelune
