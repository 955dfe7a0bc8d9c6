// The program's frame: one reference per window class with its lifetime rules
// (created and loaded on first reference, unloaded by the close box), the
// routing of window events to the handler tables, the pointer's rollover
// mechanism and the program-wide error report that ends the program.
#pragma once

#include "app/Form.h"
#include "app/Layout.h"
#include "app/WindowHost.h"
#include "platform/Platform.h"

#include <array>
#include <functional>
#include <memory>

namespace vardelune {

class Program {
public:
    Program(Platform& platform, WindowHost& host);
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
    void PointerPressed(FormId id, int x, int y);
    void PointerReleased(FormId id, int x, int y);
    void PushButtonClicked(FormId id, const char* control);
    void CloseBoxClicked(FormId id);

    // True once the program has ended (only seen with a substitute platform).
    bool ended() const { return ended_; }

    // Runs one piece of work as an event handler: errors go to the report.
    void Dispatch(const std::function<void()>& work);

private:
    static size_t Index(FormId id) { return static_cast<size_t>(id); }
    void Load(FormId id);
    void Unload(FormId id);
    void RunHandler(Form& form, EventKind event, const char* control);
    void ReportErrorAndEnd(long number, const std::wstring& description);

    Platform* platform_;
    WindowHost* host_;
    std::array<std::unique_ptr<Form>, 3> forms_;
    bool ended_ = false;
    bool dispatching_ = false;
};

// The layout of each window class, defined with its layout table.
const FormSpec& SpecOf(FormId id);

// The text of the error report: the error's number first, then its description.
std::wstring ErrorReportText(long number, const std::wstring& description);

}  // namespace vardelune
