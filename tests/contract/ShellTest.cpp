// Explore through the shell object: a file browser window on the folder
// opens. Needs a display; the test script runs this group on its own.
#include "TestTree.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace vardelune::contract {
namespace {

struct WindowSearch {
    std::wstring title;
    bool found = false;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    std::vector<wchar_t> text(512);
    const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    if (std::wstring(text.data(), length).find(search.title) != std::wstring::npos) search.found = true;
    return !search.found;
}

TEST(Shell, ExploreOpensAFileBrowserOnTheFolder) {
    const std::wstring name = L"Messenger-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring folder = FreshFolder() + L"\\" + name;
    MakeFolder(folder);

    Win32Platform platform;
    std::unique_ptr<ShellObject> shell = platform.CreateShellObject();
    EXPECT_NO_THROW(shell->Explore(folder + L"\\"));
    EXPECT_TRUE(WaitUntil([&] {
        WindowSearch search{name};
        EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }, 20000));
}

}  // namespace
}  // namespace vardelune::contract
