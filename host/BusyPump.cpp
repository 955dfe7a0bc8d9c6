// Input is dropped at the queue rather than left waiting, so that clicks made
// during the work do not all run once it ends.
#include "host/BusyPump.h"

namespace vardelune {

namespace {

// Pointer and keyboard messages, which a busy program drops.
bool IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= 0x00AB /* WM_NCXBUTTONDOWN */ && message <= 0x00AD /* WM_NCXBUTTONDBLCLK */);
}

}  // namespace

void BusyPump::SetBusy(bool busy) {
    busy_ = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    if (!busy && quitWaiting_) {
        quitWaiting_ = false;
        PostQuitMessage(quitCode_);
    }
}

void BusyPump::KeepResponsive() {
    if (GetTickCount() - last_ < kIntervalMs) return;
    PumpNow();
}

void BusyPump::PumpNow() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // For the main loop, once the work is done.
            quitWaiting_ = true;
            quitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (busy_ && IsUserInput(message.message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    last_ = GetTickCount();
}

}  // namespace vardelune
