// The child windows of a form window: the windowed controls, made in tab
// order, those out of view only once the window has been painted, and found
// again by control or by handle.
#include "host/FormWindow.h"

#include "platform/win32/ErrorText.h"

#include <algorithm>

namespace vardelune {

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

void FormWindow::CreateChildren() {
    std::vector<Control>& controls = form_->controls();
    children_.assign(controls.size(), nullptr);

    // Creation order is the order of Tab, so the children are made by tab index.
    for (size_t index = 0; index < controls.size(); ++index)
        if (IsWindowed(controls[index].kind())) tabOrder_.push_back(index);
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [&](size_t a, size_t b) {
        return controls[a].layout().tabIndex < controls[b].layout().tabIndex;
    });

    // A control wholly below or right of the client area cannot be seen at the
    // first showing; every child costs Wine's server many requests, so those
    // are made once the window is painted (CreateOutOfViewChildren).
    for (size_t index : tabOrder_)
        if (!form_->layout().liesOutOfView(controls[index].layout(), form_->dotsPerInch())) CreateChild(index);
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
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(resources_.fonts->Get(control.layout().font)), FALSE);
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
        const int tabIndex = controls[index].layout().tabIndex;
        if (!first || tabIndex < lowest) {
            first = children_[index];
            lowest = tabIndex;
        }
    }
    return first;
}

}  // namespace vardelune
