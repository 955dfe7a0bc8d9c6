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
    // The read-only file stops it before anything is deleted.
    EXPECT_EQ(ErrorRaisedBy([&] { removal->Examine(folder, L"verrou@live.fr", nullptr); }).number(), 70);
    EXPECT_TRUE(Exists(folder + L"\\verrou@live.fr\\locked.dat"));

    ExpectShellExecuteStartsThisProgram(platform, folder + L"\\started.txt");
}

// Some Wine builds hide wine_get_version on purpose: the removal must not
// need it to refuse a link to a file outside the account, which Wine shows as
// a plain file with the target's id.
TEST_F(OldestWindows, ALinkToAnOutsideFileIsRefusedWithoutKnowingTheSystem) {
    const std::wstring links = ContractRoot() + L"\\links";
    if (!Exists(links + L"\\target\\precious.txt")) GTEST_SKIP() << "no link fixture: run through run-contract.sh";
    auto removal = Win32Platform().CreateFolderDeletionObject();
    const DeletionTarget target = removal->Examine(links, L"holds-file-link", nullptr);
    EXPECT_EQ(target.kind, DeletionTarget::Kind::ContainsLink);
    EXPECT_EQ(target.entryPath, links + L"\\holds-file-link\\x\\copy.txt");
    removal->DeleteExamined(nullptr);  // examined as a link: deletes nothing
    EXPECT_TRUE(Exists(links + L"\\target\\precious.txt"));
}

}  // namespace
}  // namespace vardelune::contract
