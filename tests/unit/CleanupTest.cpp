// The "Réparer" action and the results window: order of the work, what is
// deleted, what is refused, and what the user sees.
#include "cleanup/Accounts.h"
#include "cleanup/ProfilePaths.h"
#include "cleanup/ResultsActions.h"
#include "cleanup/WindowNames.h"
#include "tests/unit/Substitutes.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vardelune::testing {
namespace {

const std::wstring kProfile = L"C:\\Users\\Zoé";

struct Cleanup : ::testing::Test {
    ProgramFixture f;
    void SetUp() override { f.StartWith(kProfile, {L"one@live.fr", L"two@hotmail.com"}); }
    std::wstring Messenger(const std::wstring& account) { return kProfile + MessengerDataSuffix + account; }
    std::wstring Contacts(const std::wstring& account) { return kProfile + ContactsDataSuffix + account; }
    void Repair(const std::wstring& account) {
        f.Select(account);
        f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    }
    // The log from the click on, without the loading of the program.
    std::vector<std::string> LogFrom(size_t start) {
        return std::vector<std::string>(f.platform.log.begin() + static_cast<long>(start), f.platform.log.end());
    }
    bool Deleted(const std::wstring& path) {
        return std::find(f.platform.deleted.begin(), f.platform.deleted.end(), path) != f.platform.deleted.end();
    }
};

TEST_F(Cleanup, ShowsResultsThenDeletesMessengerThenContactsThroughTwoObjects) {
    const size_t start = f.platform.log.size();
    Repair(L"one@live.fr");
    const std::string messenger = "C:\\Users\\Zo?\\Local Settings\\Application Data\\Microsoft\\Messenger\\one@live.fr";
    const std::string contacts =
        "C:\\Users\\Zo?\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts\\one@live.fr";
    const std::vector<std::string> expected{
        "create Form2", "show Form2", "busy", "paint", "create deleter 1", "create deleter 2",
        // Both folders are judged before either is deleted.
        "Examine 1 " + messenger, "Examine 2 " + contacts, "DeleteFolder 1 " + messenger, "DeleteFolder 2 " + contacts,
        "release deleter 2", "release deleter 1", "idle",
    };
    EXPECT_EQ(LogFrom(start), expected);
    EXPECT_GE(f.host.keptResponsive, 4);  // the deletion lets the windows answer throughout
    EXPECT_EQ(f.program.form(kResultsWindow).control(results_window::kMessage).text(),
              L"Les dossiers de ''one@live.fr'' ont été supprimés, si c'est pas le cas il faut le faire a la main "
              L"avec les deux boutons ''Ouvrir''");
    EXPECT_TRUE(f.Visible(kMainWindow, main_window::kRepairCover));
    // The deleted account stays listed until the user goes back.
    EXPECT_EQ(f.MainControl(main_window::kAccountList).items().size(), 2u);
    EXPECT_FALSE(Deleted(Messenger(L"two@hotmail.com")));
}

TEST_F(Cleanup, NothingSelectedShowsOnlyTheErrorWindow) {
    const size_t start = f.platform.log.size();
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    EXPECT_EQ(LogFrom(start), (std::vector<std::string>{"create Form3", "show Form3"}));
    EXPECT_EQ(f.program.form(kErrorWindow).control(error_window::kMessage).text(),
              L"Vous n'avez rien selectionné\r\nmerci de choisir une session");
    EXPECT_TRUE(f.Visible(kMainWindow, main_window::kRepairCover));
    EXPECT_FALSE(f.program.IsLoaded(kResultsWindow));
    // The error window stays open through a later cleanup with a selection.
    Repair(L"one@live.fr");
    EXPECT_TRUE(f.program.form(kErrorWindow).visible());
    EXPECT_TRUE(f.program.form(kResultsWindow).visible());
}

TEST_F(Cleanup, AFailingMessengerDeletionIsReportedWithTheFolderAndLeavesContactsAlone) {
    f.platform.failingDeletions[Messenger(L"one@live.fr")] = 70;
    Repair(L"one@live.fr");
    ASSERT_EQ(f.host.errorReports.size(), 1u);
    const std::wstring& report = f.host.errorReports[0];
    EXPECT_NE(report.find(L"70"), std::wstring::npos);
    EXPECT_NE(report.find(L"Permission refusée"), std::wstring::npos);
    EXPECT_NE(report.find(Messenger(L"one@live.fr")), std::wstring::npos);
    EXPECT_TRUE(f.program.ended());
    EXPECT_TRUE(f.program.form(kResultsWindow).visible());
    EXPECT_FALSE(Deleted(Contacts(L"one@live.fr")));
    const auto& log = f.platform.log;
    EXPECT_EQ(log.back(), "EndProgram");
    // Nothing runs after the end, not even the closing of the main window.
    f.program.CloseBoxClicked(kMainWindow);
    EXPECT_EQ(log.back(), "EndProgram");
}

TEST_F(Cleanup, AnAbsentFolderIsAlreadyCleanSoTheActionGoesOn) {
    f.platform.targets.erase(Contacts(L"one@live.fr"));
    Repair(L"one@live.fr");
    EXPECT_TRUE(f.host.errorReports.empty());
    EXPECT_TRUE(Deleted(Messenger(L"one@live.fr")));
    // A second click on the same account finds both folders gone: still no error.
    Repair(L"one@live.fr");
    EXPECT_TRUE(f.host.errorReports.empty());
    EXPECT_FALSE(f.program.ended());
}

// A folder that is not what its name promises is refused whole: one report with
// the error number and what it names, nothing deleted, and the end.
TEST(RefusedDeletion, NothingOfTheFolderIsDeletedAndTheReportSaysWhy) {
    using Kind = DeletionTarget::Kind;
    struct Case {
        const char* what;
        std::wstring account;
        DeletionTarget target;
        long number;
        std::wstring named;
        bool inContacts = false;  // the target is the Contacts folder's
    };
    const Case cases[] = {
        {"a file named like an account", L"one@live.fr", {Kind::File, {}}, 76, L"Messenger\\one@live.fr"},
        {"a link inside the folder", L"one@live.fr", {Kind::ContainsLink, L"C:\\Users\\Zoé\\x\\Docs"}, 75,
         L"C:\\Users\\Zoé\\x\\Docs"},
        // An entry whose real place cannot be read may be a link: it stops the cleanup.
        {"an entry that cannot be judged", L"one@live.fr", {Kind::Unverifiable, L"C:\\Users\\Zoé\\x\\tile.dat"}, 75,
         L"C:\\Users\\Zoé\\x\\tile.dat"},
        // Windows reads "point@live.fr." as "point@live.fr": another account.
        {"a trailing dot", L"point@live.fr.", {Kind::Folder, {}}, 52, L"Messenger\\point@live.fr."},
        {"a trailing space", L"espace@live.fr ", {Kind::Folder, {}}, 52, L"Messenger\\espace@live.fr "},
        // A name that a Linux folder may hold and Windows reads as a path.
        {"a climb out", L"@\\..\\..\\..\\..\\..\\Projets", {Kind::Folder, {}}, 52, L"Messenger\\@\\..\\"},
        {"a climb out padded", L"   @\\..\\..\\x   @live.fr", {Kind::Folder, {}}, 52, L"Messenger\\   @"},
        {"a slash", L"a/b@live.fr", {Kind::Folder, {}}, 52, L"Messenger\\a/b@live.fr"},
        {"a drive", L"C:@live.fr", {Kind::Folder, {}}, 52, L"C:@live.fr"},
        {"a control character", L"a\tb@live.fr", {Kind::Folder, {}}, 52, L"Messenger\\a\tb@live.fr"},
        {"the folder above", L"..", {Kind::Folder, {}}, 52, L"Messenger\\.."},
        {"a wildcard of the listing's mask", L"a<b@live.fr", {Kind::Folder, {}}, 52, L"Messenger\\a<b@live.fr"},
        // What the examination finds, each with its own reason.
        {"a pipe inside", L"one@live.fr",
         {Kind::Unverifiable, L"C:\\x\\pipe", EntryDoubt::NotFileOrFolder}, 75, L"ni un fichier ni un dossier"},
        {"a trailing space inside", L"one@live.fr",
         {Kind::Unverifiable, L"C:\\x\\name ", EntryDoubt::NameReadOtherwise}, 75, L"point ou espace final"},
        {"only a case variant", L"one@live.fr", {Kind::OnlyCaseVariant, L"C:\\x\\One@live.fr"}, 76,
         L"C:\\x\\One@live.fr"},
        // The Contacts folder is judged before the Messenger folder goes.
        {"a link in Contacts", L"one@live.fr", {Kind::ContainsLink, L"C:\\Users\\Zoé\\y\\Docs"}, 75,
         L"C:\\Users\\Zoé\\y\\Docs", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFixture f;
        f.StartWith(kProfile, {c.account, L"point@live.fr", L"espace@live.fr"});
        f.platform.targets[kProfile + (c.inContacts ? ContactsDataSuffix : MessengerDataSuffix) + c.account] = c.target;
        f.Select(c.account);
        f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
        ASSERT_EQ(f.host.errorReports.size(), 1u);
        EXPECT_NE(f.host.errorReports[0].find(L"'" + std::to_wstring(c.number) + L"'"), std::wstring::npos);
        EXPECT_NE(f.host.errorReports[0].find(c.named), std::wstring::npos);
        EXPECT_TRUE(f.platform.deleted.empty());
        EXPECT_TRUE(f.program.ended());
    }
}

// Names that only look odd are ordinary folder names and are cleaned.
TEST(EntryNames, OddButPlainNamesAreAccepted) {
    for (const wchar_t* name : {L" jean  dupont @live.fr", L"o'connor@live.fr", L"%USERPROFILE%@100%.fr",
                                L"con@live.fr", L"nul@nul.fr", L"com0@live.fr", L"lpt10@live.fr", L"auxiliaire@live.fr",
                                L"...@live.fr", L"élodie@exemple.fr", L"con.tact@live.fr", L"aux.dupont@live.fr",
                                L"lpt1.fan@live.fr", L"NUL.@live.fr", L"com1 .live@fr", L"a|b@live.fr"})
        EXPECT_FALSE(UnsafeEntryName(name).has_value()) << std::wstring(name).size();
}

TEST_F(Cleanup, BackToListHidesTheResultsAndListsTheAccountsAgain) {
    Repair(L"one@live.fr");
    f.platform.entries[kProfile + AccountPatternSuffix] = {L"two@hotmail.com"};
    f.PressButton(kResultsWindow, results_window::kBackCover, results_window::kBackButton);
    EXPECT_FALSE(f.program.form(kResultsWindow).visible());
    EXPECT_EQ(f.MainControl(main_window::kAccountList).items(), std::vector<std::wstring>{L"two@hotmail.com"});
    EXPECT_EQ(f.MainControl(main_window::kAccountList).selectedIndex(), -1);
    // The next cleanup names the second account; the window instance was kept.
    Repair(L"two@hotmail.com");
    EXPECT_NE(f.program.form(kResultsWindow).control(results_window::kMessage).text().find(L"''two@hotmail.com''"), std::wstring::npos);
    EXPECT_EQ(std::count(f.platform.log.begin(), f.platform.log.end(), "create Form2"), 1);
}

TEST_F(Cleanup, ACleanupWhileTheResultsAreVisibleRewritesTheMessage) {
    Repair(L"one@live.fr");
    Repair(L"two@hotmail.com");
    EXPECT_TRUE(f.program.form(kResultsWindow).visible());
    EXPECT_NE(f.program.form(kResultsWindow).control(results_window::kMessage).text().find(L"''two@hotmail.com''"), std::wstring::npos);
}

TEST_F(Cleanup, RelaunchStartsMessengerThroughTheShellThenEnds) {
    Repair(L"one@live.fr");
    // At rest the relaunch button shows its glow: its cover holds the highlighted picture.
    f.PressButton(kResultsWindow, results_window::kRelaunchCover, results_window::kRelaunchButton);
    const auto& log = f.platform.log;
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "ShellExecuteA 4097 open msnmsgr.exe [] C:\\Windows\\ 1");
    EXPECT_EQ(log.back(), "EndProgram");
    EXPECT_TRUE(f.host.errorReports.empty());
}

TEST_F(Cleanup, OnlyCommand1OfTheOutOfViewPushButtonsEndsTheProgram) {
    Repair(L"one@live.fr");
    const size_t start = f.platform.log.size();
    f.program.PushButtonClicked(kResultsWindow, results_window::kRelaunchPushButton);
    f.program.PushButtonClicked(kResultsWindow, results_window::kBackPushButton);
    EXPECT_TRUE(LogFrom(start).empty());
    f.program.PushButtonClicked(kResultsWindow, results_window::kQuitPushButton);
    EXPECT_EQ(LogFrom(start), std::vector<std::string>{"EndProgram"});
}

}  // namespace
}  // namespace vardelune::testing
