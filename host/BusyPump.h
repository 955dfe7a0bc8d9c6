// The message pump that runs inside a long handler: windows keep painting and
// answering the system, the wait cursor shows, and the user's input to the
// program is dropped until the work ends.
#pragma once

#include <windows.h>

namespace vardelune {

class BusyPump {
public:
    void SetBusy(bool busy);
    bool busy() const { return busy_; }
    // Takes and handles every waiting message but input, at most once per
    // interval: cheap enough to call between every two entries of a deletion.
    void KeepResponsive();
    // The same, whatever the interval.
    void PumpNow();

    // Far below the five seconds after which Windows calls a program "not
    // responding", and short enough that a window dragged across it redraws smoothly.
    static constexpr DWORD kIntervalMs = 50;

private:
    bool busy_ = false;
    bool quitWaiting_ = false;
    int quitCode_ = 0;
    DWORD last_ = 0;
};

}  // namespace vardelune
