// Window lifetime, the error window's message and the manual-cleanup shortcuts.
#include "forms/Windows.h"
#include "tests/unit/Substitutes.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vardelune::testing {
namespace {

constexpr FormId kMain = FormId::Form1;
constexpr FormId kResults = FormId::Form2;
constexpr FormId kError = FormId::Form3;

TEST(ExpandLineBreaks, ReplacesEveryBackslashNAndNothingElse) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"a\\nb", L"a\r\nb"},
        {L"\\n\\n", L"\r\n\r\n"},
        {L"a\\\\nb", L"a\\\r\nb"},  // the backslash before a "\n" stays
        {L"a\\Nb", L"a\\Nb"},       // case-sensitive
        {L"end\\", L"end\\"},
        {L"a\nb", L"a\nb"},         // a real line feed is left alone
        {L"", L""},
    };
    for (const auto& [stored, shown] : cases) EXPECT_EQ(ExpandLineBreaks(stored), shown);
}

TEST(WindowLifetime, TheCloseBoxUnloadsTheResultsAndErrorWindowsUntilTheirNextUse) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p", {L"a@b"});
    f.Start();
    f.PressButton(kMain, "Image1", "Image2");
    f.MoveOnto(kError, "Image1");
    f.program.CloseBoxClicked(kError);
    EXPECT_FALSE(f.program.IsLoaded(kError));
    EXPECT_EQ(f.host.windows.count(kError), 0u);
    // Loaded afresh: its load handler sets the message again and the cover is back.
    f.PressButton(kMain, "Image1", "Image2");
    EXPECT_TRUE(f.Visible(kError, "Image1"));
    EXPECT_EQ(f.program.form(kError).control("Label1").text(),
              L"Vous n'avez rien selectionné\r\nmerci de choisir une session");
    EXPECT_EQ(std::count(f.platform.log.begin(), f.platform.log.end(), "create Form3"), 2);

    // Closing the results window does not refresh the account list.
    f.Select(L"a@b");
    f.PressButton(kMain, "Image1", "Image2");
    f.platform.entries.clear();
    f.program.CloseBoxClicked(kResults);
    EXPECT_FALSE(f.program.IsLoaded(kResults));
    EXPECT_EQ(f.MainControl("List1").items(), std::vector<std::wstring>{L"a@b"});
    EXPECT_FALSE(f.program.ended());
}

TEST(WindowLifetime, ClosingTheMainWindowEndsTheProgramEvenWithOtherWindowsOpen) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p", {L"a@b"});
    f.Start();
    f.PressButton(kMain, "Image1", "Image2");
    f.Select(L"a@b");
    f.PressButton(kMain, "Image1", "Image2");
    f.program.CloseBoxClicked(kMain);
    EXPECT_TRUE(f.program.ended());
    EXPECT_EQ(f.platform.log.back(), "EndProgram");
    EXPECT_TRUE(f.host.errorReports.empty());
    // No further event is handled.
    const size_t length = f.platform.log.size();
    f.program.CloseBoxClicked(kError);
    f.MoveTo(kMain, 300, 275);
    EXPECT_EQ(f.platform.log.size(), length);
}

TEST(ManualCleanup, EachShortcutOpensItsFolderThroughANewShellObject) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p\\", {});
    f.Start();
    f.PressButton(kMain, "Image4", "Image3");
    f.PressButton(kMain, "Image6", "Image5");
    f.PressButton(kMain, "Label3", "Label5");
    const std::vector<std::wstring> expected{
        L"C:\\p\\\\Local Settings\\Application Data\\Microsoft\\Messenger\\",
        L"C:\\p\\\\Local Settings\\Application Data\\Microsoft\\Windows Live Contacts",
        L"C:\\p\\\\Local Settings\\Temp",
    };
    EXPECT_EQ(f.platform.explored, expected);
    EXPECT_EQ(std::count(f.platform.log.begin(), f.platform.log.end(), "create shell"), 3);
    EXPECT_EQ(std::count(f.platform.log.begin(), f.platform.log.end(), "release shell"), 3);
}

TEST(ManualCleanup, AFailingExploreGoesToTheErrorReport) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p", {});
    f.Start();
    f.platform.exploreFailure = -2147467263;
    f.PressButton(kMain, "Image4", "Image3");
    ASSERT_EQ(f.host.errorReports.size(), 1u);
    EXPECT_NE(f.host.errorReports[0].find(L"-2147467263"), std::wstring::npos);
    EXPECT_TRUE(f.program.ended());
}

}  // namespace
}  // namespace vardelune::testing
