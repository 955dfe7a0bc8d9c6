// Start-up paths and account discovery, as the main window loads.
#include "cleanup/AccountDiscovery.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/WindowNames.h"
#include "tests/unit/Substitutes.h"

#include <gtest/gtest.h>

namespace vardelune::testing {
namespace {

TEST(ProfilePaths, LoadShowsTheProfileAndBothDataFoldersExactlyAsJoined) {
    const std::wstring messenger = L"\\Local Settings\\Application Data\\Microsoft\\Messenger\\";
    const std::wstring contacts = L"\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\";
    // Unset (nullptr), every path starts with the suffix's backslash; a
    // trailing backslash is passed on, doubled.
    for (const wchar_t* profile : {L"C:\\Users\\Zoé", static_cast<const wchar_t*>(nullptr), L"D:\\p\\"}) {
        ProgramFixture f;
        if (profile) f.platform.environment[L"USERPROFILE"] = profile;
        f.program.Start();
        const std::wstring shown = profile ? profile : L"";
        EXPECT_EQ(f.MainControl(main_window::kProfileBox).text(), shown);
        EXPECT_EQ(f.MainControl(main_window::kMessengerFolderBox).text(), shown + messenger);
        EXPECT_EQ(f.MainControl(main_window::kContactsFolderBox).text(), shown + contacts);
    }
}

// The window shows only once its load handler has listed.
TEST(AccountDiscoveryTest, ListsEveryEntryInFileSystemOrderWithMask55BeforeTheWindowShowsAndSelectsNothing) {
    ProgramFixture f;
    f.StartWith(L"C:\\p", {L"zed@x.fr", L"josé@exemple.fr", L"用户@例子.中国", L"a@b"});
    EXPECT_EQ(f.MainControl(main_window::kAccountList).items(),
              (std::vector<std::wstring>{L"zed@x.fr", L"josé@exemple.fr", L"用户@例子.中国", L"a@b"}));
    EXPECT_EQ(f.MainControl(main_window::kAccountList).selectedIndex(), -1);
    EXPECT_EQ(f.platform.lastAttributes, 55u);
    EXPECT_EQ(f.platform.log, (std::vector<std::string>{
                                  "create Form1", "GetEnvironmentText",
                                  "FindFirstEntry C:\\p\\Local Settings\\Application Data\\Microsoft\\Messenger\\*@*",
                                  "show Form1"}));
    EXPECT_TRUE(f.program.form(kMainWindow).visible());
}

TEST(AccountDiscoveryTest, PathsFollowAnEditOfText2) {
    ProgramFixture f;
    f.SetProfile(L"E:\\q", {L"c@d"});
    f.StartWith(L"C:\\p", {L"a@b"});
    f.MainControl(main_window::kProfileBox).TakeTextFromUser(L"E:\\q");
    f.MainControl(main_window::kAccountList).Clear();
    ListAccounts(f.program);
    EXPECT_EQ(f.MainControl(main_window::kAccountList).items(), std::vector<std::wstring>{L"c@d"});
    // Text5 and Text6 are only shown; nothing rebuilds them.
    EXPECT_EQ(f.MainControl(main_window::kMessengerFolderBox).text(), L"C:\\p" + std::wstring(MessengerDataSuffix));
}

TEST(AccountDiscoveryTest, AFailingEnumerationGoesToTheErrorReportAndEndsTheProgram) {
    ProgramFixture f;
    f.platform.enumerationFails = true;
    f.program.Start();
    ASSERT_EQ(f.host.errorReports.size(), 1u);
    EXPECT_NE(f.host.errorReports[0].find(L"52"), std::wstring::npos);
    EXPECT_TRUE(f.program.ended());
    EXPECT_EQ(f.platform.log.back(), "EndProgram");
    EXPECT_FALSE(f.program.form(kMainWindow).visible());
}

}  // namespace
}  // namespace vardelune::testing
