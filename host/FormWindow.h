// The native window of one loaded form: its frame, its child controls (text
// boxes, list box, push buttons) and the painting of everything else. It
// passes the user's input to the program and shows the program's changes.
#pragma once

#include "app/Program.h"
#include "host/BusyPump.h"
#include "host/Fonts.h"
#include "host/Pictures.h"

#include <windows.h>

#include <vector>

namespace vardelune {

// The system class, styles and extended styles of a windowed control.
struct ChildClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};
ChildClass ChildClassOf(ControlKind kind);

// What every form window shares: the module that registered the window
// class, the fonts, the pictures and the pump of long work.
struct FormWindowResources {
    HINSTANCE module = nullptr;
    FontCache* fonts = nullptr;
    PictureCache* pictures = nullptr;
    const BusyPump* pump = nullptr;  // busy: the wait cursor over every window
};

class FormWindow {
public:
    static constexpr const wchar_t* kClassName = L"VardeluneForm";
    // The child of the control at index i of its form has the id
    // kFirstChildId + i; ids stay clear of IDOK and IDCANCEL, which keyboard
    // navigation sends for Enter and Escape.
    static constexpr int kFirstChildId = 1000;
    // Posted to itself by a window whose message failed outside any handler,
    // so that the error is reported once the system's call has returned.
    static constexpr UINT kReportPendingError = WM_APP + 1;
    // The procedure that the window class registers.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Makes the window and its controls, invisible; throws a ProgramError
    // when the system refuses.
    FormWindow(Program& program, Form& form, const FormWindowResources& resources);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND Handle() const { return window_; }
    void SetVisible(bool visible);
    void ShowChange(Control& control, ControlChange change);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnPrintClient(HDC dc);
    void OnMouseMove(int x, int y);
    void OnLeftButtonDown(int x, int y);
    void OnLeftButtonDoubleClick();
    void OnLeftButtonUp(int x, int y);
    void OnCaptureChanged(HWND newCapture);
    void OnCommand(int id, int code, HWND from);
    void OnClose();
    void OnActivate(WPARAM wParam);

    void CreateChildren();
    HWND CreateChild(size_t index);
    bool HasChildrenToMake() const;  // out-of-view controls still wait for the first showing
    bool CreateOutOfViewChildren();
    HWND ChildOf(const Control& control) const;
    size_t IndexOfChild(HWND child) const;  // controls().size() when not ours
    HWND FirstTabStop() const;
    void ShowItems(Control& list, HWND child);

    Program* program_;
    Form* form_;
    FormWindowResources resources_;
    HWND window_ = nullptr;
    std::vector<HWND> children_;  // by control index; null for windowless controls and those not yet made
    std::vector<size_t> tabOrder_;  // the windowed controls' indexes, by tab index
    HWND focusToRestore_ = nullptr;
    bool settingText_ = false;  // our own SetWindowTextW is not the user's edit
};

}  // namespace vardelune
