// The picture buttons' rollover, driven by pointer positions in the windows as
// the screen reports them, not by calling handlers.
#include "cleanup/WindowNames.h"
#include "tests/unit/Substitutes.h"

#include <gtest/gtest.h>

namespace vardelune::testing {
namespace {

struct Rollover : ::testing::Test {
    ProgramFixture f;
    void SetUp() override { f.StartWith(L"C:\\p", {L"a@b.fr"}); }
    // A point of the bare main window: on the white panel of the banner.
    void MoveOverBareWindow() { f.MoveTo(kMainWindow, 300, 275); }
};

TEST_F(Rollover, HitTestingFollowsDrawingOrderAndSkipsHiddenControls) {
    struct Case {
        int x, y;
        const char* expected;  // nullptr: the bare window
    };
    const Case cases[] = {
        {400, 480, main_window::kRepairCover},  // cover above its button
        {50, 250, main_window::kOpenMessengerCover},   {50, 340, main_window::kOpenContactsCover}, {400, 520, main_window::kTempLinkCover},
        {100, 120, main_window::kAccountList},   // windowed controls above everything painted
        {60, 215, main_window::kMessengerFolderBox},    {300, 120, main_window::kExplanation}, {250, 430, main_window::kCloseMessengerWarning},
        {300, 275, nullptr},   {490, 10, nullptr},
        {400, 504, nullptr},   // the line takes no pointer
    };
    for (const Case& c : cases) {
        Control* hit = f.Main().HitTest(c.x, c.y);
        EXPECT_STREQ(hit ? hit->name() : nullptr, c.expected) << c.x << "," << c.y;
    }
    f.MainControl(main_window::kRepairCover).SetVisible(false);
    EXPECT_STREQ(f.Main().HitTest(400, 480)->name(), main_window::kRepairButton);
}

TEST(ScaledLayout, AtOneHundredAndTwentyDotsPerInchTheLayoutAndItsHitTestingScaleTogether) {
    // 12 twips to the pixel, each value rounded to the nearest pixel.
    using namespace main_window;
    ProgramFixture f;
    f.host.dotsPerInch = 120;
    f.StartWith(L"C:\\p", {L"a@b"});
    const PixelRect list = f.MainControl(kAccountList).rect();
    const PixelRect line = f.MainControl(kSeparator).rect();
    EXPECT_EQ((std::vector<int>{f.Main().clientWidthPixels(), f.Main().clientHeightPixels(), list.left, list.top,
                                list.width, list.height, line.left, line.top, line.left + line.width}),
              (std::vector<int>{625, 700, 30, 110, 321, 103, 30, 630, 600}));

    // "Réparer" lies at (490, 590), 89 x 29: where it lay at 96 there is bare window now.
    EXPECT_EQ(f.Main().HitTest(427, 483), nullptr);
    f.Select(L"a@b");
    f.MoveTo(kMainWindow, 578, 618);
    EXPECT_FALSE(f.Visible(kMainWindow, kRepairCover));
    f.ClickAt(kMainWindow, 578, 618);
    EXPECT_EQ(f.platform.deleted.size(), 2u);
    EXPECT_EQ(f.program.form(kResultsWindow).clientWidthPixels(), 456);
    EXPECT_EQ(f.program.form(kResultsWindow).clientHeightPixels(), 284);
}

TEST_F(Rollover, CoverHidesUnderThePointerAndReturnsOnlyOverTheBareWindow) {
    f.MoveOnto(kMainWindow, main_window::kOpenMessengerCover);
    EXPECT_FALSE(f.Visible(kMainWindow, main_window::kOpenMessengerCover));
    // Moving on the revealed button, then onto a label, the list or a text box changes nothing.
    f.MoveOnto(kMainWindow, main_window::kOpenMessengerButton);
    f.MoveOnto(kMainWindow, main_window::kExplanation);
    f.MoveOnto(kMainWindow, main_window::kAccountList);
    f.MoveOnto(kMainWindow, main_window::kMessengerFolderBox);
    EXPECT_FALSE(f.Visible(kMainWindow, main_window::kOpenMessengerCover));
    // Other covers keep their own state.
    f.MoveOnto(kMainWindow, main_window::kRepairCover);
    EXPECT_FALSE(f.Visible(kMainWindow, main_window::kRepairCover));
    EXPECT_FALSE(f.Visible(kMainWindow, main_window::kOpenMessengerCover));
    MoveOverBareWindow();
    for (const char* cover : {main_window::kRepairCover, main_window::kOpenMessengerCover, main_window::kOpenContactsCover, main_window::kTempLinkCover}) EXPECT_TRUE(f.Visible(kMainWindow, cover)) << cover;
}

TEST_F(Rollover, ButtonsPutTheirCoverBackWhenClickedExceptTheTemporaryFolderLink) {
    struct Case {
        const char* cover;
        const char* button;
        bool coverBack;
    };
    for (const Case& c : {Case{main_window::kOpenMessengerCover, main_window::kOpenMessengerButton, true}, Case{main_window::kOpenContactsCover, main_window::kOpenContactsButton, true},
                          Case{main_window::kRepairCover, main_window::kRepairButton, true}, Case{main_window::kTempLinkCover, main_window::kTempLink, false}}) {
        f.MoveOnto(kMainWindow, c.cover);
        ASSERT_FALSE(f.Visible(kMainWindow, c.cover));
        f.ClickOn(kMainWindow, c.button);
        EXPECT_EQ(f.Visible(kMainWindow, c.cover), c.coverBack) << c.button;
        // The pointer's next movement on the spot hides the cover again.
        f.MoveOnto(kMainWindow, c.cover);
        EXPECT_FALSE(f.Visible(kMainWindow, c.cover)) << c.cover;
        MoveOverBareWindow();
    }
}

TEST_F(Rollover, AClickNeedsPressAndReleaseOnTheSameControl) {
    f.MoveOnto(kMainWindow, main_window::kOpenMessengerCover);
    f.program.PointerPressed(kMainWindow, 50, 250);   // on Image3
    f.program.PointerReleased(kMainWindow, 300, 275);  // on the bare window
    EXPECT_TRUE(f.platform.explored.empty());
    // A press on the cover is not a click of the button revealed before the release.
    MoveOverBareWindow();
    f.program.PointerPressed(kMainWindow, 50, 250);  // on the cover Image4
    f.MoveOnto(kMainWindow, main_window::kOpenMessengerCover);
    f.program.PointerReleased(kMainWindow, 50, 250);  // on Image3
    EXPECT_TRUE(f.platform.explored.empty());

    // A press whose capture another window took, or whose release came while
    // a handler was busy, leaves nothing for a later release to complete.
    f.program.PointerPressed(kMainWindow, 50, 250);
    f.program.PointerCaptureLost(kMainWindow);
    f.program.PointerReleased(kMainWindow, 50, 250);
    f.program.PointerPressed(kMainWindow, 50, 250);
    f.program.Dispatch([&] { f.program.PointerReleased(kMainWindow, 50, 250); });
    f.program.PointerReleased(kMainWindow, 50, 250);
    EXPECT_TRUE(f.platform.explored.empty());

    // A double click is one click: its second press is the double-click event.
    f.program.PointerPressed(kMainWindow, 50, 250);
    f.program.PointerReleased(kMainWindow, 50, 250);
    f.program.PointerDoubleClicked(kMainWindow);
    f.program.PointerReleased(kMainWindow, 50, 250);
    EXPECT_EQ(f.platform.explored.size(), 1u);
}

TEST_F(Rollover, AHiddenWindowKeepsItsHiddenCoverUntilThePointerTouchesItsBackground) {
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);  // nothing selected: the error window opens
    ASSERT_TRUE(f.program.form(kErrorWindow).visible());
    f.PressButton(kErrorWindow, error_window::kRetryCover, error_window::kRetryButton);
    EXPECT_FALSE(f.program.form(kErrorWindow).visible());

    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    EXPECT_TRUE(f.program.form(kErrorWindow).visible());
    EXPECT_FALSE(f.Visible(kErrorWindow, error_window::kRetryCover));
    f.MoveTo(kErrorWindow, 5, 5);
    EXPECT_TRUE(f.Visible(kErrorWindow, error_window::kRetryCover));
}

TEST_F(Rollover, ResultsWindowShowsItsCoversInOrderOverItsBackground) {
    f.Select(L"a@b.fr");
    f.PressButton(kMainWindow, main_window::kRepairCover, main_window::kRepairButton);
    ASSERT_TRUE(f.program.form(kResultsWindow).visible());
    f.MoveOnto(kResultsWindow, results_window::kRelaunchCover);
    f.MoveOnto(kResultsWindow, results_window::kBackCover);
    f.MoveOnto(kResultsWindow, results_window::kMessage);
    EXPECT_FALSE(f.Visible(kResultsWindow, results_window::kRelaunchCover));
    EXPECT_FALSE(f.Visible(kResultsWindow, results_window::kBackCover));
    f.MoveTo(kResultsWindow, 5, 220);
    EXPECT_TRUE(f.Visible(kResultsWindow, results_window::kRelaunchCover));
    EXPECT_TRUE(f.Visible(kResultsWindow, results_window::kBackCover));
}

}  // namespace
}  // namespace vardelune::testing
