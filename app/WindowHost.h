// The screen as the program's frame sees it: native windows made for loaded
// forms, shown, hidden and destroyed, and the modal message box of the error
// report. The Win32 host implements it; tests use a substitute.
#pragma once

#include "app/Form.h"
#include "platform/Platform.h"

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
};

}  // namespace vardelune
