// The program on the oldest Windows it runs on, as far as these machines can
// show it (they run no 32-bit program): every function that it looks up at run
// time made missing, the listing, the cleanup and the relaunch still work.
#include "TestTree.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <set>

namespace vardelune::contract {
namespace {

struct OldestWindows : ::testing::Test {
    void SetUp() override { PretendOptionalFunctionsMissing(true); }
    void TearDown() override { PretendOptionalFunctionsMissing(false); }
};

TEST_F(OldestWindows, ListsCleansAndRelaunchesWithoutTheNewerFunctions) {
    RestrictDllSearchToSystemFolder();  // neither way to restrict it: the search stays as it was

    const std::wstring folder = FreshFolder();
    for (const wchar_t* account : {L"ines@live.fr", L"paul@live.fr"}) {
        MakeFolder(folder + L"\\" + account);
        MakeFolder(folder + L"\\" + account + L"\\ObjectStore", FILE_ATTRIBUTE_HIDDEN);
        MakeFile(folder + L"\\" + account + L"\\ObjectStore\\tile.dat");
    }
    MakeFolder(folder + L"\\verrou@live.fr");
    MakeFile(folder + L"\\verrou@live.fr\\locked.dat", FILE_ATTRIBUTE_READONLY);

    Win32Platform platform;
    std::set<std::wstring> listed;
    for (std::wstring name = platform.FindFirstEntry(folder + L"\\*@*", 55); !name.empty();
         name = platform.FindNextEntry())
        listed.insert(name);
    EXPECT_EQ(listed, (std::set<std::wstring>{L"ines@live.fr", L"paul@live.fr", L"verrou@live.fr"}));

    auto removal = platform.CreateFolderDeletionObject();
    ASSERT_EQ(removal->Examine(folder, L"ines@live.fr", nullptr).kind, DeletionTarget::Kind::Folder);
    removal->DeleteExamined(nullptr);
    EXPECT_FALSE(Exists(folder + L"\\ines@live.fr"));
    EXPECT_TRUE(Exists(folder + L"\\paul@live.fr\\ObjectStore\\tile.dat"));
    ASSERT_EQ(removal->Examine(folder, L"verrou@live.fr", nullptr).kind, DeletionTarget::Kind::Folder);
    try {
        removal->DeleteExamined(nullptr);
        ADD_FAILURE() << "a read-only file was deleted";
    } catch (const ProgramError& error) {
        EXPECT_EQ(error.number(), 70);
    }

    const std::wstring marker = folder + L"\\started.txt";
    const std::string parameters = "--write-marker \"" + Narrow(marker) + "\"";
    EXPECT_GT(platform.ShellExecuteA(0, "open", Narrow(ThisExecutable()), parameters, "C:\\Windows\\", 1), 32);
    for (int waited = 0; waited < 300 && !Exists(marker); ++waited) Sleep(100);
    EXPECT_TRUE(Exists(marker));
}

}  // namespace
}  // namespace vardelune::contract
