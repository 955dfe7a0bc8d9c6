// Substitutes for the platform and the screen: a file system held in memory,
// and a log of every platform call and every window made, shown or hidden, in
// the order they happen.
#pragma once

#include "app/Program.h"
#include "forms/Windows.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vardelune::testing {

struct FakePlatform : Platform {
    std::vector<std::string> log;
    std::map<std::wstring, std::wstring> environment;
    // Enumeration results by search expression; a missing expression yields nothing.
    std::map<std::wstring, std::vector<std::wstring>> entries;
    // What lies at each path that may be deleted; absent paths are Absent.
    std::map<std::wstring, DeletionTarget> targets;
    // Paths whose deletion fails with this number.
    std::map<std::wstring, long> failingDeletions;
    std::vector<std::wstring> deleted;
    std::vector<std::wstring> explored;
    bool enumerationFails = false;
    long exploreFailure = 0;
    std::vector<std::wstring> pending;
    int objectCount = 0;

    std::wstring GetEnvironmentText(const std::wstring& name) override {
        log.push_back("GetEnvironmentText");
        auto found = environment.find(name);
        return found == environment.end() ? std::wstring() : found->second;
    }
    std::wstring FindFirstEntry(const std::wstring& expression, unsigned attributes) override;
    std::wstring FindNextEntry() override;
    std::unique_ptr<FolderDeletionObject> CreateFolderDeletionObject() override;
    std::unique_ptr<ShellObject> CreateShellObject() override;
    std::intptr_t ShellExecuteA(NativeWindowHandle window, const std::string& operation, const std::string& file,
                                const std::string& parameters, const std::string& directory, int show) override;
    [[noreturn]] void EndProgram() override {
        log.push_back("EndProgram");
        throw ProgramEnded{};
    }

    unsigned lastAttributes = 0;
};

struct FakeHost : WindowHost {
    explicit FakeHost(std::vector<std::string>& platformLog) : log(platformLog) {}
    std::vector<std::string>& log;  // shared with the platform's
    // Each report as shown, and as read with its lines joined again.
    std::vector<std::wstring> shownReports;
    std::vector<std::wstring> errorReports;
    std::set<FormId> windows;
    int dotsPerInch = kStandardDotsPerInch;

    void Record(const std::string& line) { log.push_back(line); }
    void OnControlChanged(Form&, Control&, ControlChange) override {}
    void CreateFormWindow(Form& form) override {
        windows.insert(form.id());
        Record(std::string("create ") + form.layout().name);
    }
    void DestroyFormWindow(Form& form) override {
        windows.erase(form.id());
        Record(std::string("destroy ") + form.layout().name);
    }
    void SetFormWindowVisible(Form& form, bool visible) override {
        Record(std::string(visible ? "show " : "hide ") + form.layout().name);
    }
    NativeWindowHandle FormWindowHandle(Form& form) override { return 0x1000 + static_cast<int>(form.id()); }
    int DotsPerInch() override { return dotsPerInch; }
    void ShowErrorReport(const std::wstring& text) override;
    void PaintNow() override { Record("paint"); }
    void SetBusy(bool busy) override { Record(busy ? "busy" : "idle"); }
    void KeepResponsive() override { ++keptResponsive; }
    int keptResponsive = 0;
};

// A started program over the two substitutes, with a profile folder and
// accounts in its Messenger data folder.
struct ProgramFixture {
    FakePlatform platform;
    FakeHost host{platform.log};
    Program program{platform, host, ProgramWindows()};

    // Sets the profile and its accounts, each with its two folders.
    void SetProfile(const std::wstring& profile, const std::vector<std::wstring>& accounts);
    void StartWith(const std::wstring& profile, const std::vector<std::wstring>& accounts) {
        SetProfile(profile, accounts);
        program.Start();
    }

    Form& Main() { return program.form(kMainWindow); }
    Control& MainControl(const char* name) { return Main().control(name); }
    void Select(const std::wstring& account);
    // Real pointer input: the centre of a control, or a point of the window.
    void MoveTo(FormId id, int x, int y) { program.PointerMoved(id, x, y); }
    void MoveOnto(FormId id, const char* control);
    void ClickAt(FormId id, int x, int y);
    void ClickOn(FormId id, const char* control);
    // What a user does with a picture button: onto its cover, then a click.
    void PressButton(FormId id, const char* cover, const char* button) {
        MoveOnto(id, cover);
        ClickOn(id, button);
    }
    bool Visible(FormId id, const char* control) { return program.form(id).control(control).visible(); }
};

}  // namespace vardelune::testing
