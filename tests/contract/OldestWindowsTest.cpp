// The program on the oldest Windows it runs on, as far as these machines can
// show it (they run no 32-bit program): every function that it looks up at run
// time made missing, the listing, the cleanup and the relaunch still work.
#include "TestTree.h"
#include "cleanup/Accounts.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

namespace vardelune::contract {
namespace {

struct OldestWindows : ::testing::Test {
    void SetUp() override { PretendOptionalFunctionsMissing(true); }
    void TearDown() override { PretendOptionalFunctionsMissing(false); }
};

TEST_F(OldestWindows, ListsCleansAndRelaunchesWithoutTheNewerFunctions) {
    RestrictDllSearchToSystemFolder();  // neither way to restrict it: the search stays as it was

    const std::wstring folder = FreshFolder();
    MakeTree(folder, {{L"ines@live.fr\\"}, {L"ines@live.fr\\ObjectStore\\", kHidden},
                      {L"ines@live.fr\\ObjectStore\\tile.dat"}, {L"paul@live.fr\\"},
                      {L"paul@live.fr\\ObjectStore\\", kHidden}, {L"paul@live.fr\\ObjectStore\\tile.dat"},
                      {L"verrou@live.fr\\"}, {L"verrou@live.fr\\locked.dat", kReadOnly}});

    Win32Platform platform;
    EXPECT_EQ(ListEntries(platform, folder + L"\\" + kAccountNamePattern, kAccountAttributeMask),
              (std::vector<std::wstring>{L"ines@live.fr", L"paul@live.fr", L"verrou@live.fr"}));

    auto removal = platform.CreateFolderDeletionObject();
    ASSERT_EQ(removal->Examine(folder, L"ines@live.fr", nullptr).kind, DeletionTarget::Kind::Folder);
    removal->DeleteExamined(nullptr);
    EXPECT_FALSE(Exists(folder + L"\\ines@live.fr"));
    EXPECT_TRUE(Exists(folder + L"\\paul@live.fr\\ObjectStore\\tile.dat"));
    ASSERT_EQ(removal->Examine(folder, L"verrou@live.fr", nullptr).kind, DeletionTarget::Kind::Folder);
    EXPECT_EQ(ErrorRaisedBy([&] { removal->DeleteExamined(nullptr); }).number(), 70);  // the read-only file stays

    ExpectShellExecuteStartsThisProgram(platform, folder + L"\\started.txt");
}

}  // namespace
}  // namespace vardelune::contract
