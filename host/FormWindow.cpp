// One trampoline for every form window, one short function per message. The
// program decides everything (hit testing, clicks, closing); this window only
// reports input and keeps the focus. Its children are made in
// FormChildren.cpp, the program's changes shown in FormChanges.cpp.
#include "host/FormWindow.h"

#include "host/Paint.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/GdiOwners.h"

#include <windowsx.h>

#include <algorithm>

namespace vardelune {

namespace {

DWORD FrameStyle(Border border) {
    const DWORD common = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return border == Border::SizableWithMinimize ? common | WS_THICKFRAME | WS_MINIMIZEBOX : common;
}

// Tab and the arrow keys move through the child controls of this window.
constexpr DWORD kFrameExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

}  // namespace

FormWindow::FormWindow(Program& program, Form& form, const FormWindowResources& resources)
    : program_(&program), form_(&form), resources_(resources) {
    const FormLayout& layout = form.layout();
    const DWORD style = FrameStyle(layout.border);
    RECT frame{0, 0, form.clientWidthPixels(), form.clientHeightPixels()};
    if (!AdjustWindowRectEx(&frame, style, FALSE, kFrameExStyle)) ThrowLastError();

    // Pictures and fonts first: a resource that cannot be had stops the load
    // here rather than leaving a blank window.
    for (const ControlLayout& control : layout.controls) {
        if (control.kind == ControlKind::Picture) resources_.pictures->Load(control.picture);
        if (control.kind == ControlKind::Label || IsWindowed(control.kind)) resources_.fonts->Get(control.font);
    }
    if (layout.backgroundPicture != kNoPicture) resources_.pictures->Load(layout.backgroundPicture);

    // Made where it first shows, centred on the screen: moving it there later
    // would cost Wine one more call to the window server. A window larger
    // than the screen keeps its title bar reachable.
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    // WM_NCCREATE stores `this` on the window, so window_ is set from there on.
    if (!CreateWindowExW(kFrameExStyle, kClassName, layout.title, style, x, y, width, height, nullptr,
                         nullptr, resources_.module, this))
        ThrowLastError();
    try {
        CreateChildren();
    } catch (...) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        throw;
    }
}

FormWindow::~FormWindow() {
    if (!window_) return;
    // The messages of the destruction find no object any more.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void FormWindow::SetVisible(bool visible) {
    if (!visible) {
        ShowWindow(window_, SW_HIDE);
        return;
    }
    if (IsWindowVisible(window_)) {
        SetForegroundWindow(window_);
        return;
    }
    // Each showing starts with the focus on the first control in tab order;
    // at the first, that control may not be made yet, and the focus waits on
    // the frame, where no caret shows.
    focusToRestore_ = HasChildrenToMake() ? nullptr : FirstTabStop();
    ShowWindow(window_, SW_SHOW);
    // Painted now, before the out-of-view children are made, rather than
    // once the handler that shows it has returned: it may go on working.
    UpdateWindow(window_);
    // No input is read before this returns, so the focus is in place for the first key.
    if (CreateOutOfViewChildren()) focusToRestore_ = FirstTabStop();
    if (GetActiveWindow() == window_) SetFocus(focusToRestore_ ? focusToRestore_ : window_);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* self = nullptr;
    // No exception may unwind through the system's code that called us.
    try {
        if (message == WM_NCCREATE) {
            self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Reported once the system is out of our call (a message box inside
        // WM_PAINT would paint again under itself): the program keeps it, and
        // the posted message reports it unless a handler ends first.
        if (self) {
            self->program_->ReportLater(std::current_exception());
            PostMessageW(window, kReportPendingError, 0, 0);
        }
        // Only the program closes a window.
        if (message == WM_CLOSE) return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kReportPendingError:
            program_->ReportPendingError();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT paints the background with everything else
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            OnPrintClient(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            OnLeftButtonDoubleClick();
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CLOSE:
            OnClose();  // may have destroyed this object
            return 0;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_SETCURSOR:
            if (resources_.pump->busy()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_SYSCOLORCHANGE:
            // Button face and text colours follow the theme.
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void FormWindow::OnPaint() {
    PaintDc paint(window_);
    const RECT area = paint.Area();
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;

    // Drawn off screen and copied at once, so a cover that comes and goes
    // never shows the background in between.
    MemoryDc memory(paint.Get());
    GdiObject<HBITMAP> bitmap(memory ? CreateCompatibleBitmap(paint.Get(), width, height) : nullptr);
    if (!bitmap) {
        PaintContent(paint.Get(), area, *form_, *resources_.fonts, *resources_.pictures);
        return;
    }
    SelectedObject selected(memory.Get(), bitmap.Get());
    SetViewportOrgEx(memory.Get(), -area.left, -area.top, nullptr);
    PaintContent(memory.Get(), area, *form_, *resources_.fonts, *resources_.pictures);
    BitBlt(paint.Get(), area.left, area.top, width, height, memory.Get(), area.left, area.top, SRCCOPY);
}

void FormWindow::OnPrintClient(HDC dc) {
    RECT client;
    GetClientRect(window_, &client);
    PaintContent(dc, client, *form_, *resources_.fonts, *resources_.pictures);
}

void FormWindow::OnMouseMove(int x, int y) {
    // While a press holds the pointer, its moves beyond the window are not
    // moves over the bare window: they would bring the covers back.
    RECT client;
    const POINT point{x, y};
    if (GetCapture() == window_ && GetClientRect(window_, &client) && !PtInRect(&client, point)) return;
    program_->PointerMoved(form_->id(), x, y);
}

void FormWindow::OnLeftButtonDown(int x, int y) {
    // Held until the release, so that the release ends this press wherever
    // the pointer goes, and a press elsewhere never ends in a click here.
    SetCapture(window_);
    program_->PointerPressed(form_->id(), x, y);
}

void FormWindow::OnLeftButtonDoubleClick() {
    SetCapture(window_);
    program_->PointerDoubleClicked(form_->id());
}

void FormWindow::OnLeftButtonUp(int x, int y) {
    program_->PointerReleased(form_->id(), x, y);
    if (GetCapture() == window_) ReleaseCapture();
}

void FormWindow::OnCaptureChanged(HWND newCapture) {
    if (newCapture != window_) program_->PointerCaptureLost(form_->id());
}

void FormWindow::OnCommand(int id, int code, HWND from) {
    std::vector<Control>& controls = form_->controls();
    size_t index = IndexOfChild(from);
    if (index >= controls.size()) {
        // Enter, through keyboard navigation: a focused push button is pressed.
        if (id != IDOK || from) return;
        index = IndexOfChild(GetFocus());
        if (index >= controls.size() || controls[index].kind() != ControlKind::PushButton) return;
        code = BN_CLICKED;
    }
    Control& control = controls[index];
    switch (control.kind()) {
        case ControlKind::PushButton:
            if (code == BN_CLICKED) program_->PushButtonClicked(form_->id(), control.name());
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE && !settingText_) control.TakeTextFromUser(WindowText(from));
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                const LRESULT selected = SendMessageW(from, LB_GETCURSEL, 0, 0);
                control.TakeSelectionFromUser(selected == LB_ERR ? -1 : static_cast<int>(selected));
            }
            break;
        default:
            break;
    }
}

void FormWindow::OnClose() { program_->CloseBoxClicked(form_->id()); }

void FormWindow::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        // Coming back to this window puts the focus back where the user left it.
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) focusToRestore_ = focus;
        return;
    }
    if (HIWORD(wParam)) return;  // minimised: nothing takes the focus
    HWND target = focusToRestore_ && IsWindow(focusToRestore_) ? focusToRestore_ : nullptr;
    SetFocus(target ? target : window_);
}

}  // namespace vardelune
