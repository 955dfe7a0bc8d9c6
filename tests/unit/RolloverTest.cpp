// The picture buttons' rollover, driven by pointer positions in the windows as
// the screen reports them, not by calling handlers.
#include "tests/unit/Substitutes.h"

#include <gtest/gtest.h>

namespace vardelune::testing {
namespace {

constexpr FormId kMain = FormId::Form1;

struct MainRollover : ::testing::Test {
    ProgramFixture f;
    void SetUp() override {
        f.SetProfile(L"C:\\p", {L"a@b.fr"});
        f.Start();
    }
    // A point of the bare main window: on the white panel of the banner.
    void MoveOverBareWindow() { f.MoveTo(kMain, 300, 275); }
};

TEST_F(MainRollover, HitTestingFollowsDrawingOrderAndSkipsHiddenControls) {
    struct Case {
        int x, y;
        const char* expected;  // nullptr: the bare window
    };
    const Case cases[] = {
        {400, 480, "Image1"},  // cover above its button
        {50, 250, "Image4"},   {50, 340, "Image6"}, {400, 520, "Label3"},
        {100, 120, "List1"},   // windowed controls above everything painted
        {60, 215, "Text5"},    {300, 120, "Label6"}, {250, 430, "Label8"},
        {300, 275, nullptr},   {490, 10, nullptr},
        {400, 504, nullptr},   // the line takes no pointer
    };
    for (const Case& c : cases) {
        Control* hit = f.Main().HitTest(c.x, c.y);
        EXPECT_STREQ(hit ? hit->name() : nullptr, c.expected) << c.x << "," << c.y;
    }
    f.MainControl("Image1").SetVisible(false);
    EXPECT_STREQ(f.Main().HitTest(400, 480)->name(), "Image2");
}

TEST_F(MainRollover, CoverHidesUnderThePointerAndReturnsOnlyOverTheBareWindow) {
    f.MoveOnto(kMain, "Image4");
    EXPECT_FALSE(f.Visible(kMain, "Image4"));
    // Moving on the revealed button, then onto a label, the list or a text box changes nothing.
    f.MoveOnto(kMain, "Image3");
    f.MoveOnto(kMain, "Label6");
    f.MoveOnto(kMain, "List1");
    f.MoveOnto(kMain, "Text5");
    EXPECT_FALSE(f.Visible(kMain, "Image4"));
    // Other covers keep their own state.
    f.MoveOnto(kMain, "Image1");
    EXPECT_FALSE(f.Visible(kMain, "Image1"));
    EXPECT_FALSE(f.Visible(kMain, "Image4"));
    MoveOverBareWindow();
    for (const char* cover : {"Image1", "Image4", "Image6", "Label3"}) EXPECT_TRUE(f.Visible(kMain, cover)) << cover;
}

TEST_F(MainRollover, ButtonsPutTheirCoverBackWhenClickedExceptTheTemporaryFolderLink) {
    struct Case {
        const char* cover;
        const char* button;
        bool coverBack;
    };
    for (const Case& c : {Case{"Image4", "Image3", true}, Case{"Image6", "Image5", true},
                          Case{"Image1", "Image2", true}, Case{"Label3", "Label5", false}}) {
        f.MoveOnto(kMain, c.cover);
        ASSERT_FALSE(f.Visible(kMain, c.cover));
        f.ClickOn(kMain, c.button);
        EXPECT_EQ(f.Visible(kMain, c.cover), c.coverBack) << c.button;
        // The pointer's next movement on the spot hides the cover again.
        f.MoveOnto(kMain, c.cover);
        EXPECT_FALSE(f.Visible(kMain, c.cover)) << c.cover;
        MoveOverBareWindow();
    }
}

TEST_F(MainRollover, AClickNeedsPressAndReleaseOnTheSameControl) {
    f.MoveOnto(kMain, "Image4");
    f.program.PointerPressed(kMain, 50, 250);   // on Image3
    f.program.PointerReleased(kMain, 300, 275);  // on the bare window
    EXPECT_TRUE(f.platform.explored.empty());
    // A press on the cover is not a click of the button revealed before the release.
    MoveOverBareWindow();
    f.program.PointerPressed(kMain, 50, 250);  // on the cover Image4
    f.MoveOnto(kMain, "Image4");
    f.program.PointerReleased(kMain, 50, 250);  // on Image3
    EXPECT_TRUE(f.platform.explored.empty());
}

TEST(Rollover, AHiddenWindowKeepsItsHiddenCoverUntilThePointerTouchesItsBackground) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p", {});
    f.Start();
    f.PressButton(kMain, "Image1", "Image2");  // nothing selected: the error window opens
    ASSERT_TRUE(f.program.form(FormId::Form3).visible());
    f.PressButton(FormId::Form3, "Image1", "Image2");
    EXPECT_FALSE(f.program.form(FormId::Form3).visible());

    f.PressButton(kMain, "Image1", "Image2");
    EXPECT_TRUE(f.program.form(FormId::Form3).visible());
    EXPECT_FALSE(f.Visible(FormId::Form3, "Image1"));
    f.MoveTo(FormId::Form3, 5, 5);
    EXPECT_TRUE(f.Visible(FormId::Form3, "Image1"));
}

TEST(Rollover, ResultsWindowShowsItsCoversInOrderOverItsBackground) {
    ProgramFixture f;
    f.SetProfile(L"C:\\p", {L"a@b"});
    f.Start();
    f.Select(L"a@b");
    f.PressButton(kMain, "Image1", "Image2");
    ASSERT_TRUE(f.program.form(FormId::Form2).visible());
    f.MoveOnto(FormId::Form2, "Image1");
    f.MoveOnto(FormId::Form2, "Image4");
    f.MoveOnto(FormId::Form2, "Label1");
    EXPECT_FALSE(f.Visible(FormId::Form2, "Image1"));
    EXPECT_FALSE(f.Visible(FormId::Form2, "Image4"));
    f.MoveTo(FormId::Form2, 5, 220);
    EXPECT_TRUE(f.Visible(FormId::Form2, "Image1"));
    EXPECT_TRUE(f.Visible(FormId::Form2, "Image4"));
}

}  // namespace
}  // namespace vardelune::testing
