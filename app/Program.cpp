// Window references and their lifetime, event routing, the error report and
// the end of the program.
#include "app/Program.h"

#include "app/ErrorTexts.h"

#include <cstring>
#include <exception>
#include <new>
#include <string>

namespace vardelune {

Program::Program(Platform& platform, WindowHost& host, const FormLayouts& windows)
    : platform_(&platform), host_(&host), layouts_(windows) {}

Program::~Program() = default;

Form& Program::form(FormId id) {
    if (!forms_[Index(id)]) Load(id);
    return *forms_[Index(id)];
}

void Program::Load(FormId id) {
    auto loaded = std::make_unique<Form>(*layouts_[Index(id)], host_->DotsPerInch());
    Form& form = *loaded;
    form.SetObserver(host_);
    host_->CreateFormWindow(form);
    forms_[Index(id)] = std::move(loaded);
    // The load handler runs before the reference that caused the load completes.
    RunHandler(form, EventKind::Load, nullptr);
}

void Program::Unload(FormId id) {
    std::unique_ptr<Form> unloaded = std::move(forms_[Index(id)]);
    if (unloaded) host_->DestroyFormWindow(*unloaded);
}

void Program::ShowForm(FormId id) {
    Form& shown = form(id);
    shown.SetVisibleFlag(true);
    host_->SetFormWindowVisible(shown, true);
}

void Program::HideForm(FormId id) {
    Form& hidden = form(id);
    hidden.SetVisibleFlag(false);
    host_->SetFormWindowVisible(hidden, false);
}

void Program::EndProgram() {
    ended_ = true;
    platform_->EndProgram();
    // Only a substitute platform comes back here; nothing after this may run.
    throw ProgramEnded{};
}

void Program::Start() {
    Dispatch([this] { ShowForm(FormId::Form1); });
}

void Program::RunHandler(Form& form, EventKind event, const char* control) {
    for (const HandlerEntry& entry : form.layout().handlers) {
        if (entry.event != event) continue;
        if ((entry.control == nullptr) != (control == nullptr)) continue;
        if (control && std::strcmp(entry.control, control) != 0) continue;
        entry.handler(*this, form, control ? &form.control(control) : nullptr);
        return;
    }
}

void Program::Dispatch(const std::function<void()>& work) {
    // One handler at a time: an event that arrives while a platform call
    // inside a handler pumps messages is dropped rather than run half-way.
    if (ended_ || dispatching_) return;
    RunReportingErrors(work);
    // What failed meanwhile outside the handler (a window painted while it
    // pumped messages) is reported now that it has returned.
    ReportPendingError();
}

void Program::RunReportingErrors(const std::function<void()>& work) {
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(dispatching_);
    try {
        work();
    } catch (const ProgramEnded&) {
        ended_ = true;
    } catch (const ProgramError& error) {
        ReportErrorAndEnd(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        ReportErrorAndEnd(error::kOutOfMemory, ErrorDescription(error::kOutOfMemory));
    } catch (...) {
        // Whatever else went wrong is reported in the program's own words.
        ReportErrorAndEnd(error::kInternalError, ErrorDescription(error::kInternalError));
    }
}

void Program::ReportLater(std::exception_ptr error) {
    if (!pendingError_) pendingError_ = std::move(error);
}

void Program::ReportPendingError() {
    if (!pendingError_ || dispatching_ || ended_) return;
    std::exception_ptr error = std::move(pendingError_);
    pendingError_ = nullptr;
    Dispatch([&] { std::rethrow_exception(error); });
}

void Program::ReportErrorAndEnd(long number, const std::wstring& description) {
    host_->ShowErrorReport(ErrorReportText(number, description));
    try {
        EndProgram();
    } catch (const ProgramEnded&) {
        ended_ = true;
    }
}

void EndProgramHandler(Program& program, Form&, Control*) { program.EndProgram(); }

void Program::PointerMoved(FormId id, int x, int y) {
    Dispatch([&] {
        if (!IsLoaded(id)) return;
        Form& target = form(id);
        Control* hit = target.HitTest(x, y);
        if (hit)
            RunHandler(target, EventKind::MouseMove, hit->name());
        else
            RunHandler(target, EventKind::MouseMoveWindow, nullptr);
    });
}

void Program::PointerPressed(FormId id, int x, int y) {
    if (!IsLoaded(id)) return;
    Form& target = form(id);
    target.pressed = target.HitTest(x, y);
}

void Program::ForgetPress(FormId id) {
    if (IsLoaded(id)) form(id).pressed = nullptr;
}

// The second press of a double click is the double-click event, which no
// control handles: the release that follows it is no click.
void Program::PointerDoubleClicked(FormId id) { ForgetPress(id); }

void Program::PointerCaptureLost(FormId id) { ForgetPress(id); }

void Program::PointerReleased(FormId id, int x, int y) {
    if (!IsLoaded(id)) return;
    Form& target = form(id);
    // Taken before the dispatch, so that a release dropped while a handler is
    // busy still ends the press.
    Control* pressed = target.pressed;
    target.pressed = nullptr;
    Dispatch([&] {
        if (pressed && IsLoaded(id) && pressed == form(id).HitTest(x, y))
            RunHandler(form(id), EventKind::Click, pressed->name());
    });
}

void Program::PushButtonClicked(FormId id, const char* control) {
    Dispatch([&] {
        if (IsLoaded(id)) RunHandler(form(id), EventKind::Click, control);
    });
}

void Program::CloseBoxClicked(FormId id) {
    Dispatch([&] {
        if (!IsLoaded(id)) return;
        RunHandler(form(id), EventKind::Unload, nullptr);
        Unload(id);
    });
}

}  // namespace vardelune
