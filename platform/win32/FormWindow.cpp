// One trampoline for every form window, one short function per message. The
// program decides everything (hit testing, clicks, closing); this window only
// reports input and shows what the program changed.
#include "platform/win32/FormWindow.h"

#include "app/ErrorTexts.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Paint.h"

#include <windowsx.h>

#include <algorithm>

namespace vardelune {

namespace {

// Child ids stay clear of IDOK and IDCANCEL, which keyboard navigation sends
// for Enter and Escape.
constexpr int kFirstChildId = 1000;

DWORD FrameStyle(Border border) {
    const DWORD common = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return border == Border::SizableWithMinimize ? common | WS_THICKFRAME | WS_MINIMIZEBOX : common;
}

// Tab and the arrow keys move through the child controls of this window.
constexpr DWORD kFrameExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

}  // namespace

ChildClass ChildClassOf(ControlKind kind) {
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    switch (kind) {
        case ControlKind::TextBox:
            return {L"EDIT", common | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            // No integral height: the list keeps the exact height of its layout.
            return {L"LISTBOX", common | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
        case ControlKind::PushButton:
        default:
            return {L"BUTTON", common | BS_PUSHBUTTON, 0};
    }
}

namespace {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

void AddListItem(HWND list, const std::wstring& item) {
    const LRESULT added = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    // The list on screen must not silently differ from the account list.
    if (added == LB_ERR || added == LB_ERRSPACE) throw NumberedError(error::kOutOfMemory);
}

}  // namespace

const wchar_t* const FormWindow::kClassName = L"VardeluneForm";

FormWindow::FormWindow(Program& program, Form& form, const FormWindowResources& resources)
    : program_(&program), form_(&form), resources_(resources) {
    const FormSpec& spec = form.spec();
    const DWORD style = FrameStyle(spec.border);
    RECT frame{0, 0, form.clientWidthPixels(), form.clientHeightPixels()};
    if (!AdjustWindowRectEx(&frame, style, FALSE, kFrameExStyle)) ThrowLastError();

    // Pictures and fonts first: a resource that cannot be had stops the load
    // here rather than leaving a blank window.
    for (const ControlSpec& control : spec.controls) {
        if (control.kind == ControlKind::Picture) resources_.pictures->Load(control.picture);
        if (control.kind == ControlKind::Label || IsWindowed(control.kind)) resources_.fonts->Get(control.font);
    }
    if (spec.backgroundPicture != kNoPicture) resources_.pictures->Load(spec.backgroundPicture);

    // Made where it first shows, centred on the screen: moving it there later
    // would cost Wine one more call to the window server. A window larger
    // than the screen keeps its title bar reachable.
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    // WM_NCCREATE stores `this` on the window, so window_ is set from there on.
    if (!CreateWindowExW(kFrameExStyle, resources_.className, spec.title, style, x, y, width, height, nullptr,
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

void FormWindow::CreateChildren() {
    std::vector<Control>& controls = form_->controls();
    children_.assign(controls.size(), nullptr);
    listedItems_.assign(controls.size(), 0);

    // Creation order is the order of Tab, so the children are made by tab index.
    for (size_t index = 0; index < controls.size(); ++index)
        if (IsWindowed(controls[index].kind())) tabOrder_.push_back(index);
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [&](size_t a, size_t b) {
        return controls[a].spec().tabIndex < controls[b].spec().tabIndex;
    });

    // A control wholly below or right of the client area cannot be seen at the
    // first showing; every child costs Wine's server many requests, so those
    // are made once the window is painted (CreateOutOfViewChildren).
    for (size_t index : tabOrder_)
        if (!form_->spec().liesOutOfView(controls[index].spec(), form_->dotsPerInch())) CreateChild(index);
}

bool FormWindow::HasChildrenToMake() const {
    return std::any_of(tabOrder_.begin(), tabOrder_.end(), [this](size_t index) { return !children_[index]; });
}

HWND FormWindow::CreateChild(size_t index) {
    Control& control = form_->controls()[index];
    const ChildClass childClass = ChildClassOf(control.kind());
    const PixelRect rect = control.rect();
    const wchar_t* text = control.kind() == ControlKind::ListBox ? L"" : control.text().c_str();
    const DWORD style = control.visible() ? childClass.style : childClass.style & ~WS_VISIBLE;

    settingText_ = true;
    HWND child = CreateWindowExW(childClass.exStyle, childClass.className, text, style, rect.left, rect.top,
                                 rect.width, rect.height, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + index)),
                                 resources_.module, nullptr);
    settingText_ = false;
    if (!child) ThrowLastError();
    children_[index] = child;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(resources_.fonts->Get(control.spec().font)), FALSE);
    if (control.kind() == ControlKind::ListBox && !control.items().empty()) ShowItems(control, child);
    return child;
}

bool FormWindow::CreateOutOfViewChildren() {
    if (!HasChildrenToMake()) return false;
    // Each takes the text and visibility that its control has now. Tab
    // follows the order of the children, so a late one goes back to its place.
    HWND previous = HWND_TOP;
    for (size_t index : tabOrder_) {
        if (!children_[index])
            SetWindowPos(CreateChild(index), previous, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        previous = children_[index];
    }
    return true;
}

HWND FormWindow::ChildOf(const Control& control) const {
    const std::vector<Control>& controls = form_->controls();
    for (size_t index = 0; index < controls.size() && index < children_.size(); ++index)
        if (&controls[index] == &control) return children_[index];
    return nullptr;
}

size_t FormWindow::IndexOfChild(HWND child) const {
    if (!child) return form_->controls().size();
    for (size_t index = 0; index < children_.size(); ++index)
        if (children_[index] == child) return index;
    return form_->controls().size();
}

HWND FormWindow::FirstTabStop() const {
    const std::vector<Control>& controls = form_->controls();
    HWND first = nullptr;
    int lowest = 0;
    for (size_t index = 0; index < children_.size(); ++index) {
        if (!children_[index] || !controls[index].visible()) continue;
        const int tabIndex = controls[index].spec().tabIndex;
        if (!first || tabIndex < lowest) {
            first = children_[index];
            lowest = tabIndex;
        }
    }
    return first;
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
    ResumeListRedraw();
    // Each showing starts with the focus on the first control in tab order;
    // at the first, that control may not be made yet, and the focus waits on
    // the frame, where no caret shows.
    focusToRestore_ = HasChildrenToMake() ? nullptr : FirstTabStop();
    ShowWindow(window_, SW_SHOW);
    // Painted now rather than when the handler returns: the results window
    // must read complete while the deletions that follow it run.
    UpdateWindow(window_);
    // No input is read before this returns, so the focus is in place for the first key.
    if (CreateOutOfViewChildren()) focusToRestore_ = FirstTabStop();
    if (GetActiveWindow() == window_) SetFocus(focusToRestore_ ? focusToRestore_ : window_);
}

void FormWindow::ShowChange(Control& control, ControlChange change) {
    HWND child = ChildOf(control);
    // A windowed control not made yet takes its state when it is.
    if (!child && IsWindowed(control.kind())) return;
    if (!child) {
        // Labels, pictures and the line: only their own pixels are painted again.
        if (change == ControlChange::Text || change == ControlChange::Visible) {
            const RECT bounds = PaintedBounds(control);
            InvalidateRect(window_, &bounds, FALSE);
        }
        return;
    }
    switch (change) {
        case ControlChange::Text:
            settingText_ = true;
            SetWindowTextW(child, control.text().c_str());
            settingText_ = false;
            break;
        case ControlChange::Visible:
            ShowWindow(child, control.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case ControlChange::Items:
            ShowItems(control, child);
            break;
        case ControlChange::Selection:
            SendMessageW(child, LB_SETCURSEL, static_cast<WPARAM>(control.selectedIndex()), 0);
            break;
    }
}

void FormWindow::ShowItems(Control& list, HWND child) {
    const std::vector<std::wstring>& items = list.items();
    size_t& listed = listedItems_[static_cast<size_t>(&list - form_->controls().data())];
    // Accounts are listed one at a time, possibly thousands of them: one more
    // item is appended, anything else refills the list.
    if (items.size() == listed + 1) {
        SuspendListRedrawUntilIdle(child);
        AddListItem(child, items.back());
        ++listed;
        return;
    }
    SendMessageW(child, WM_SETREDRAW, FALSE, 0);
    struct RedrawAgain {
        HWND list;
        ~RedrawAgain() {
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        }
    } redrawAgain{child};
    SendMessageW(child, LB_RESETCONTENT, 0, 0);
    listed = 0;
    for (const std::wstring& item : items) {
        AddListItem(child, item);
        ++listed;
    }
    SendMessageW(child, LB_SETCURSEL, static_cast<WPARAM>(list.selectedIndex()), 0);
}

void FormWindow::SuspendListRedrawUntilIdle(HWND list) {
    // A list box repaints itself for every item added, which costs minutes for
    // thousands of accounts on screen under Wine, and still most of the fill
    // in a window not yet shown. The first item of a run stops its drawing. On
    // screen, the message queue, reached once the handler that lists them has
    // returned, draws it again with every item in place; in a hidden window,
    // its first showing does, so that the window shows with its list drawn.
    if (suspendedList_) return;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    suspendedList_ = list;
    if (IsWindowVisible(window_) && !PostMessageW(window_, kResumeListRedraw, 0, 0)) ResumeListRedraw();
}

void FormWindow::ResumeListRedraw() {
    if (!suspendedList_) return;
    const HWND list = suspendedList_;
    suspendedList_ = nullptr;
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

LRESULT CALLBACK FormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the system's code that called us.
    try {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            self->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Only the program closes a window.
        if (message == WM_CLOSE) return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT FormWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
        case kResumeListRedraw:
            ResumeListRedraw();
            return 0;
        case WM_SETCURSOR:
            if (resources_.pump && resources_.pump->busy()) {
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
