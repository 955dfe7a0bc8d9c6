// The forms' native windows by form, the program-wide error report, and the
// painting that long work asks for.
#include "host/Win32Host.h"

#include "app/ErrorTexts.h"
#include "platform/win32/ErrorText.h"
#include "resources/ResourceIds.h"

#include <stdexcept>

namespace vardelune {

namespace {

size_t Slot(const Form& form) { return static_cast<size_t>(form.id()); }

}  // namespace

HICON LoadProgramIcon(HINSTANCE module, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_VARDELUNE), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

Win32Host::Win32Host(HINSTANCE module, HINSTANCE resources)
    : module_(module),
      resources_(resources ? resources : module),
      dotsPerInch_(ScreenDotsPerInch()),
      bigIcon_(LoadProgramIcon(resources_, SM_CXICON, SM_CYICON)),
      smallIcon_(LoadProgramIcon(resources_, SM_CXSMICON, SM_CYSMICON)),
      fonts_(dotsPerInch_),
      pictures_(resources_) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // The second press of a double click comes as its own event, so that a
    // double click on a picture button is one click, not two.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = FormWindow::WindowProc;
    windowClass.hInstance = module;
    // The class icons are every window's icons: a WM_SETICON of the same
    // icons would only make Wine convert both for the X server once more.
    windowClass.hIcon = bigIcon_.Get();
    windowClass.hIconSm = smallIcon_.Get();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the window paints its own background
    windowClass.lpszClassName = FormWindow::kClassName;
    windowClass_ = RegisterClassExW(&windowClass);
    if (!windowClass_) ThrowLastError(ERROR_CLASS_ALREADY_EXISTS);
}

Win32Host::~Win32Host() {
    for (auto& window : windows_) window.reset();
    UnregisterClassW(FormWindow::kClassName, module_);
}

FormWindow* Win32Host::WindowOf(const Form& form) const { return windows_[Slot(form)].get(); }

void Win32Host::CreateFormWindow(Form& form) {
    if (!program_) throw std::logic_error("the window host has no program");
    FormWindowResources resources;
    resources.module = module_;
    resources.fonts = &fonts_;
    resources.pictures = &pictures_;
    resources.pump = &pump_;
    windows_[Slot(form)] = std::make_unique<FormWindow>(*program_, form, resources);
}

void Win32Host::DestroyFormWindow(Form& form) { windows_[Slot(form)].reset(); }

void Win32Host::SetFormWindowVisible(Form& form, bool visible) {
    if (FormWindow* window = WindowOf(form)) window->SetVisible(visible);
}

NativeWindowHandle Win32Host::FormWindowHandle(Form& form) {
    FormWindow* window = WindowOf(form);
    return window ? reinterpret_cast<NativeWindowHandle>(window->Handle()) : 0;
}

void Win32Host::ShowErrorReport(const std::wstring& text) {
    // Task-modal without an owner: no window of the program takes input
    // until the report is dismissed, and the program ends right after.
    MessageBoxW(nullptr, text.c_str(), kErrorReportTitle, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

void Win32Host::PaintNow() {
    // A window just shown is mapped and exposed through messages: take them
    // first, then draw whatever is still waiting.
    pump_.PumpNow();
    for (const auto& window : windows_)
        if (window) RedrawWindow(window->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
}

void Win32Host::OnControlChanged(Form& form, Control& control, ControlChange change) {
    if (FormWindow* window = WindowOf(form)) window->ShowChange(control, change);
}

bool Win32Host::HandleKeyboardNavigation(MSG& message) {
    HWND active = GetActiveWindow();
    if (!active) return false;
    for (const auto& window : windows_)
        if (window && window->Handle() == active) return IsDialogMessageW(active, &message) != FALSE;
    return false;
}

}  // namespace vardelune
