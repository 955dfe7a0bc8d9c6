// The screen as the program's frame sees it: native windows made for loaded
// forms, shown, hidden and destroyed, the modal message box of the error
// report, and the painting and busy state of long work. The Win32 host
// implements it; tests use a substitute.
#pragma once

#include "app/Form.h"
#include "app/Platform.h"

#include <string>

namespace vardelune {

class WindowHost : public FormObserver {
public:
    // Builds the native window and its controls for a freshly loaded form,
    // still invisible.
    virtual void CreateFormWindow(Form& form) = 0;
    // Discards the native window of a form that is being unloaded.
    virtual void DestroyFormWindow(Form& form) = 0;
    // Shows (centred on the screen the first time) or hides the window.
    virtual void SetFormWindowVisible(Form& form, bool visible) = 0;
    virtual NativeWindowHandle FormWindowHandle(Form& form) = 0;
    // The resolution of the screen, which the layouts' twips follow.
    virtual int DotsPerInch() = 0;
    // Shows the error report and returns once the user has dismissed it.
    virtual void ShowErrorReport(const std::wstring& text) = 0;

    // Draws every window that waits to be drawn, now, before a long piece of work.
    virtual void PaintNow() = 0;
    // During long work: the wait cursor on, and the user's input to the
    // program's windows dropped, so that nothing done meanwhile acts, then or later.
    virtual void SetBusy(bool busy) = 0;
    // Called often during long work: lets the windows paint and answer the
    // system (every call need not do it).
    virtual void KeepResponsive() = 0;
};

// Busy for as long as it lives, whatever ends the work.
class BusyScope {
public:
    explicit BusyScope(WindowHost& host) : host_(host) { host_.SetBusy(true); }
    ~BusyScope() { host_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    WindowHost& host_;
};

}  // namespace vardelune
