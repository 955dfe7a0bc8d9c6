// Window lifetime, the error window's message and the manual-cleanup shortcuts.
#include "app/ErrorTexts.h"
#include "cleanup/NoSelectionMessage.h"
#include "cleanup/WindowNames.h"
#include "tests/unit/Substitutes.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace vardelune::testing {
namespace {


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

TEST(ErrorReport, LongLinesBreakAfterASeparatorOrAtTheWidthAndKeepEveryCharacter) {
    const std::wstring name(100, L'x');
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"short\r\nlines stay", L"short\r\nlines stay"},
        {L"C:\\Users\\a\\Local Settings\\Messenger\\b@c", L"C:\\Users\\\r\na\\\r\nLocal \r\nSettings\\\r\nMessenger\\\r\nb@c"},
        {L"un deux trois quatre", L"un deux \r\ntrois \r\nquatre"},
        {L"abcdefghijklmnopqrstuvw", L"abcdefghij\r\nklmnopqrst\r\nuvw"},
    };
    for (const auto& [text, broken] : cases) EXPECT_EQ(BreakLongLines(text, 10), broken);
    // At the report's own width a long name without separators is broken, never cut.
    const std::wstring path = L"Z:\\p\\Local Settings\\Application Data\\Microsoft\\Messenger\\" + name;
    const std::wstring report = ErrorReportText(53, L"Fichier introuvable\r\n" + path);
    std::wstring joined = report;
    for (size_t at; (at = joined.find(L"\r\n")) != std::wstring::npos;) joined.erase(at, 2);
    EXPECT_NE(joined.find(path), std::wstring::npos);
    EXPECT_EQ(report.rfind(L"Erreur d'exécution '53' :\r\n\r\nFichier introuvable\r\n", 0), 0u);

    // A path of any length keeps its start and its end, and the report its height.
    std::wstring deep = L"Z:\\p";
    while (deep.size() < 4096) deep += L"\\dossier";
    deep += L"\\fin\U0001F600.txt";
    const std::wstring tall = ErrorReportText(75, L"Suppression refusée\r\n" + deep + L"\r\n" + deep);
    EXPECT_LE(std::count(tall.begin(), tall.end(), L'\n'), 12);
    std::wstring shown = tall;
    for (size_t at; (at = shown.find(L"\r\n")) != std::wstring::npos;) shown.erase(at, 2);
    const size_t start = shown.find(deep.substr(0, 100));
    const size_t ellipsis = shown.find(L'\u2026', start);
    EXPECT_NE(start, std::wstring::npos);
    const size_t end = shown.find(deep.substr(deep.size() - 100));
    EXPECT_NE(end, std::wstring::npos);
    EXPECT_LT(ellipsis, end);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), L'\u2026'), 2);
    EXPECT_EQ(ShortenLongLines(L"abcdefgh\r\nabc", 5), L"ab\u2026gh\r\nabc");
}

TEST(ErrorReport, UnexpectedFailuresAreReportedInFrenchWithTheirNumber) {
    const std::pair<std::function<void()>, std::wstring> cases[] = {
        {[] { throw std::bad_alloc(); }, L"Erreur d'exécution '7' :\r\n\r\nMémoire insuffisante"},
        {[] { throw std::logic_error("broken"); }, L"Erreur d'exécution '51' :\r\n\r\nErreur interne"},
    };
    for (const auto& [failure, report] : cases) {
        ProgramFixture f;
        f.program.Start();
        f.program.Dispatch(failure);
        ASSERT_EQ(f.host.shownReports.size(), 1u);
        EXPECT_EQ(f.host.shownReports[0], report);
        EXPECT_TRUE(f.program.ended());
    }
}

// A failure while the system paints cannot show a message box there: it is
// kept, and reported once no handler runs, the first one only.
TEST(ErrorReport, AFailureOutsideAnyHandlerIsReportedAsSoonAsItCanBe) {
    const std::wstring picture = L"Erreur d'exécution '481' :\r\n\r\nImage incorrecte";
    for (const bool duringHandler : {true, false}) {
        ProgramFixture f;
        f.program.Start();
        auto fail = [&] {
            f.program.ReportLater(std::make_exception_ptr(NumberedError(error::kInvalidPicture)));
            f.program.ReportLater(std::make_exception_ptr(NumberedError(error::kOutOfMemory)));
            f.program.ReportPendingError();  // too early while a handler runs
            EXPECT_EQ(f.host.shownReports.size(), duringHandler ? 0u : 1u);
        };
        if (duringHandler)
            f.program.Dispatch(fail);
        else
            fail();
        ASSERT_EQ(f.host.shownReports.size(), 1u) << duringHandler;
        EXPECT_EQ(f.host.shownReports[0], picture);
        EXPECT_TRUE(f.program.ended());
    }
}

TEST(Layouts, EveryControlThatAHandlerOrACoverListNamesExistsInItsWindow) {
    for (const FormLayout* layout : ProgramWindows()) {
        auto exists = [layout](const char* name) {
            return std::any_of(layout->controls.begin(), layout->controls.end(),
                               [name](const ControlLayout& control) { return std::strcmp(control.name, name) == 0; });
        };
        for (const HandlerEntry& entry : layout->handlers) {
            if (entry.control) {
                EXPECT_TRUE(exists(entry.control)) << layout->name << " " << entry.control;
            }
        }
        for (const char* cover : layout->covers) EXPECT_TRUE(exists(cover)) << layout->name << " " << cover;
    }
}

TEST(Layouts, OnlyTheControlsBelowTheClientAreaLieOutOfViewAtEveryResolution) {
    // Their native windows are made after the first showing, so any other
    // control counted here would be missing from the window's first painting.
    const std::vector<std::vector<std::string>> expected = {
        {main_window::kProfileBox, main_window::kFirstFocusBox},
        {results_window::kRelaunchPushButton, results_window::kBackPushButton, results_window::kQuitPushButton},
        {}};
    const FormLayouts windows = ProgramWindows();
    for (int dotsPerInch : {96, 120, 144}) {
        for (size_t form = 0; form < windows.size(); ++form) {
            std::vector<std::string> outOfView;
            for (const ControlLayout& control : windows[form]->controls)
                if (windows[form]->liesOutOfView(control, dotsPerInch)) outOfView.push_back(control.name);
            EXPECT_EQ(outOfView, expected[form]) << windows[form]->name << " at " << dotsPerInch;
        }
    }
}

TEST(WindowLifetime, TheCloseBoxUnloadsTheResultsAndErrorWindowsUntilTheirNextUse) {
    ProgramFixture f;
    f.StartWith(L"C:\\p", {L"a@b"});
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    f.MoveOnto(kErrorWindow, error_window::kRetryCover);
    f.program.CloseBoxClicked(kErrorWindow);
    EXPECT_FALSE(f.program.IsLoaded(kErrorWindow));
    EXPECT_EQ(f.host.windows.count(kErrorWindow), 0u);
    // Loaded afresh: its load handler sets the message again and the cover is back.
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    EXPECT_TRUE(f.Visible(kErrorWindow, error_window::kRetryCover));
    EXPECT_EQ(f.program.form(kErrorWindow).control(error_window::kMessage).text(),
              L"Vous n'avez rien selectionné\r\nmerci de choisir une session");
    EXPECT_EQ(std::count(f.platform.log.begin(), f.platform.log.end(), "create Form3"), 2);

    // Closing the results window does not refresh the account list.
    f.Select(L"a@b");
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    f.platform.entries.clear();
    f.program.CloseBoxClicked(kResultsWindow);
    EXPECT_FALSE(f.program.IsLoaded(kResultsWindow));
    EXPECT_EQ(f.MainControl(main_window::kAccountList).items(), std::vector<std::wstring>{L"a@b"});
    EXPECT_FALSE(f.program.ended());
}

TEST(WindowLifetime, ClosingTheMainWindowEndsTheProgramEvenWithOtherWindowsOpen) {
    ProgramFixture f;
    f.StartWith(L"C:\\p", {L"a@b"});
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    f.Select(L"a@b");
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    f.program.CloseBoxClicked(kMainWindow);
    EXPECT_TRUE(f.program.ended());
    EXPECT_EQ(f.platform.log.back(), "EndProgram");
    EXPECT_TRUE(f.host.errorReports.empty());
    // No further event is handled.
    const size_t length = f.platform.log.size();
    f.program.CloseBoxClicked(kErrorWindow);
    f.MoveTo(kMainWindow, 300, 275);
    EXPECT_EQ(f.platform.log.size(), length);
}

TEST(ManualCleanup, EachShortcutOpensItsFolderThroughANewShellObject) {
    ProgramFixture f;
    f.StartWith(L"C:\\p\\", {});
    f.PressButton(kMainWindow, main_window::kOpenMessengerCover, main_window::kOpenMessengerButton);
    f.PressButton(kMainWindow, main_window::kOpenContactsCover, main_window::kOpenContactsButton);
    f.PressButton(kMainWindow, main_window::kTempLinkCover, main_window::kTempLink);
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
    f.StartWith(L"C:\\p", {});
    f.platform.exploreFailure = -2147467263;
    f.PressButton(kMainWindow, main_window::kOpenMessengerCover, main_window::kOpenMessengerButton);
    ASSERT_EQ(f.host.errorReports.size(), 1u);
    EXPECT_NE(f.host.errorReports[0].find(L"-2147467263"), std::wstring::npos);
    EXPECT_TRUE(f.program.ended());
}

}  // namespace
}  // namespace vardelune::testing
