// The program's frame: one reference per window class with its lifetime rules
// (created and loaded on first reference, unloaded by the close box), the
// routing of window events to the handler tables, the pointer's rollover
// mechanism and the program-wide error report that ends the program.
#pragma once

#include "app/Errors.h"
#include "app/Form.h"
#include "app/Layout.h"
#include "app/WindowHost.h"
#include "app/Platform.h"

#include <array>
#include <exception>
#include <functional>
#include <memory>

namespace vardelune {

// The layout of each window class, by window id.
using FormLayouts = std::array<const FormLayout*, 3>;

class Program {
public:
    Program(Platform& platform, WindowHost& host, const FormLayouts& windows);
    ~Program();

    Platform& platform() { return *platform_; }
    WindowHost& host() { return *host_; }

    // The window of that class, created and loaded first if it is not loaded.
    Form& form(FormId id);
    bool IsLoaded(FormId id) const { return forms_[Index(id)] != nullptr; }

    void ShowForm(FormId id);
    void HideForm(FormId id);
    [[noreturn]] void EndProgram();

    // Start-up: loads the main window, then shows it once its load handler has run.
    void Start();

    // Events from the screen, each run to completion; an error inside goes to
    // the error report. Coordinates are client pixels.
    void PointerMoved(FormId id, int x, int y);
    // A click is a press and a release on the same control with nothing in
    // between: a double click's second press, or the pointer's capture taken
    // by someone else, leaves nothing pending.
    void PointerPressed(FormId id, int x, int y);
    void PointerDoubleClicked(FormId id);
    void PointerCaptureLost(FormId id);
    void PointerReleased(FormId id, int x, int y);
    void PushButtonClicked(FormId id, const char* control);
    void CloseBoxClicked(FormId id);

    // True once the program has ended (only seen with a substitute platform).
    bool ended() const { return ended_; }

    // Runs one piece of work as an event handler: errors go to the report.
    void Dispatch(const std::function<void()>& work);

    // An error raised where it cannot be reported at once (while the system
    // paints a window, or while a handler runs): it is kept, the first one
    // only, and reported by ReportPendingError, which the end of every
    // handler calls too.
    void ReportLater(std::exception_ptr error);
    void ReportPendingError();

private:
    static size_t Index(FormId id) { return static_cast<size_t>(id); }
    void Load(FormId id);
    void Unload(FormId id);
    void RunHandler(Form& form, EventKind event, const char* control);
    // The work with the dispatching flag raised, its errors reported.
    void RunReportingErrors(const std::function<void()>& work);
    void ReportErrorAndEnd(long number, const std::wstring& description);

    void ForgetPress(FormId id);

    Platform* platform_;
    WindowHost* host_;
    FormLayouts layouts_;
    std::array<std::unique_ptr<Form>, 3> forms_;
    bool ended_ = false;
    bool dispatching_ = false;
    std::exception_ptr pendingError_;
};

// Handler of the events that end the program.
void EndProgramHandler(Program& program, Form& form, Control* control);

// A handler table entry for an action that needs only the program.
template <void (*Action)(Program&)>
void Run(Program& program, Form&, Control*) {
    Action(program);
}

}  // namespace vardelune
