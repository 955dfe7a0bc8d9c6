// The substitutes' behaviour that does not fit in their declarations.
#include "cleanup/WindowNames.h"
#include "tests/unit/Substitutes.h"

#include "app/ErrorTexts.h"
#include "cleanup/ProfilePaths.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vardelune::testing {

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

struct FakeDeleter : FolderDeletionObject {
    FakePlatform& platform;
    int number;
    FakeDeleter(FakePlatform& owner, int n) : platform(owner), number(n) {}
    ~FakeDeleter() override { platform.log.push_back("release deleter " + std::to_string(number)); }
    std::wstring examined;
    DeletionTarget Examine(const std::wstring& folder, const std::wstring& name, const Progress& progress) override {
        examined = folder + name;
        platform.log.push_back("Examine " + std::to_string(number) + " " + Narrow(examined));
        if (progress) progress();
        auto found = platform.targets.find(examined);
        return found == platform.targets.end() ? DeletionTarget{} : found->second;
    }
    void DeleteExamined(const Progress& progress) override {
        platform.log.push_back("DeleteFolder " + std::to_string(number) + " " + Narrow(examined));
        if (progress) progress();
        auto failure = platform.failingDeletions.find(examined);
        if (failure != platform.failingDeletions.end()) throw NumberedError(failure->second, examined);
        platform.targets.erase(examined);
        platform.deleted.push_back(examined);
    }
};

struct FakeShell : ShellObject {
    FakePlatform& platform;
    explicit FakeShell(FakePlatform& owner) : platform(owner) {}
    ~FakeShell() override { platform.log.push_back("release shell"); }
    void Explore(const std::wstring& path) override {
        platform.log.push_back("Explore " + Narrow(path));
        if (platform.exploreFailure) throw ProgramError(ErrorNumberKind::HResult, platform.exploreFailure, L"Explore failed");
        platform.explored.push_back(path);
    }
};

}  // namespace

std::wstring FakePlatform::FindFirstEntry(const std::wstring& expression, unsigned attributes) {
    log.push_back("FindFirstEntry " + Narrow(expression));
    lastAttributes = attributes;
    if (enumerationFails) throw ProgramError(ErrorNumberKind::Runtime, 52, L"Nom ou numéro de fichier incorrect");
    pending.clear();
    auto found = entries.find(expression);
    if (found != entries.end()) pending.assign(found->second.rbegin(), found->second.rend());
    return FindNextEntry();
}

std::wstring FakePlatform::FindNextEntry() {
    if (pending.empty()) return std::wstring();
    std::wstring next = pending.back();
    pending.pop_back();
    return next;
}

std::unique_ptr<FolderDeletionObject> FakePlatform::CreateFolderDeletionObject() {
    ++objectCount;
    log.push_back("create deleter " + std::to_string(objectCount));
    return std::make_unique<FakeDeleter>(*this, objectCount);
}

std::unique_ptr<ShellObject> FakePlatform::CreateShellObject() {
    log.push_back("create shell");
    return std::make_unique<FakeShell>(*this);
}

std::intptr_t FakePlatform::ShellExecuteA(NativeWindowHandle window, const std::string& operation,
                                          const std::string& file, const std::string& parameters,
                                          const std::string& directory, int show) {
    log.push_back("ShellExecuteA " + std::to_string(window) + " " + operation + " " + file + " [" + parameters +
                  "] " + directory + " " + std::to_string(show));
    return 2;
}

void FakeHost::ShowErrorReport(const std::wstring& text) {
    // Every report of every test must fit the screen: no line over 70 characters.
    std::wstring joined;
    for (size_t start = 0;;) {
        const size_t end = std::min(text.find(L"\r\n", start), text.size());
        EXPECT_LE(end - start, 70u) << Narrow(text.substr(start, end - start));
        joined += text.substr(start, end - start);
        if (end == text.size()) break;
        start = end + 2;
    }
    shownReports.push_back(text);
    errorReports.push_back(joined);
    Record("error report");
}

void ProgramFixture::SetProfile(const std::wstring& profile, const std::vector<std::wstring>& accounts) {
    platform.environment[L"USERPROFILE"] = profile;
    platform.entries[profile + AccountPatternSuffix] = accounts;
    for (const std::wstring& account : accounts) {
        for (const wchar_t* suffix : {MessengerDataSuffix, ContactsDataSuffix})
            platform.targets[profile + suffix + account] = {DeletionTarget::Kind::Folder, {}};
    }
}

void ProgramFixture::Select(const std::wstring& account) {
    Control& list = MainControl(main_window::kAccountList);
    const auto& items = list.items();
    auto found = std::find(items.begin(), items.end(), account);
    list.TakeSelectionFromUser(found == items.end() ? -1 : static_cast<int>(found - items.begin()));
}

void ProgramFixture::MoveOnto(FormId id, const char* control) {
    PixelRect rect = program.form(id).control(control).rect();
    MoveTo(id, rect.left + rect.width / 2, rect.top + rect.height / 2);
}

void ProgramFixture::ClickAt(FormId id, int x, int y) {
    program.PointerPressed(id, x, y);
    program.PointerReleased(id, x, y);
}

void ProgramFixture::ClickOn(FormId id, const char* control) {
    PixelRect rect = program.form(id).control(control).rect();
    ClickAt(id, rect.left + rect.width / 2, rect.top + rect.height / 2);
}

}  // namespace vardelune::testing
