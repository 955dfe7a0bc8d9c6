// What a form window shows of the program's changes to its controls: texts,
// visibility, the list's items and selection.
#include "host/FormWindow.h"

#include "app/ErrorTexts.h"
#include "host/Paint.h"

namespace vardelune {

namespace {

void AddListItem(HWND list, const std::wstring& item) {
    const LRESULT added = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    // The list on screen must not silently differ from the account list.
    if (added == LB_ERR || added == LB_ERRSPACE) throw NumberedError(error::kOutOfMemory);
}

}  // namespace

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
    // The whole list at once, its drawing suspended while it fills: a list box
    // repaints itself for every item added, which costs minutes for thousands
    // of accounts on screen under Wine.
    SendMessageW(child, WM_SETREDRAW, FALSE, 0);
    struct RedrawAgain {
        HWND list;
        ~RedrawAgain() {
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        }
    } redrawAgain{child};
    SendMessageW(child, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : list.items()) AddListItem(child, item);
    SendMessageW(child, LB_SETCURSEL, static_cast<WPARAM>(list.selectedIndex()), 0);
}

}  // namespace vardelune
