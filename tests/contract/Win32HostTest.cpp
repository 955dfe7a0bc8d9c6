// The Win32 window host on a real screen: the forms' native windows, their
// child controls, what they paint, and the input that reaches the program.
// The pictures and the icon are borrowed from the built Vardelune.exe.
#include "TestTree.h"
#include "cleanup/ResultsActions.h"
#include "cleanup/WindowNames.h"
#include "forms/Windows.h"
#include "host/Fonts.h"
#include "host/FormWindow.h"
#include "host/Win32Host.h"
#include "platform/win32/GdiOwners.h"
#include "resources/ResourceIds.h"
#include "tests/unit/Substitutes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vardelune {
namespace {

class Win32HostTest : public ::testing::Test {
protected:
    // The built program, next to the contract tests in the same build tree.
    static void SetUpTestSuite() {
        std::wstring folder = contract::ThisExecutable();
        folder.erase(folder.find_last_of(L'\\') + 1);
        const std::wstring program = folder + L"..\\..\\host\\Vardelune.exe";
        resources_ = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        if (resources_) FreeLibrary(resources_);
        resources_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(resources_, nullptr) << "build the Vardelune target of this preset first";
        host_ = std::make_unique<Win32Host>(GetModuleHandleW(nullptr), resources_);
        program_ = std::make_unique<Program>(platform_, *host_, ProgramWindows());
        host_->Attach(*program_);
    }

    HWND Window(FormId id) { return reinterpret_cast<HWND>(host_->FormWindowHandle(program_->form(id))); }
    Control& ControlOf(FormId id, const char* name) { return program_->form(id).control(name); }

    // Each windowed control's child window has the id of its place in the form's table.
    HWND Child(FormId id, const char* name) {
        Form& form = program_->form(id);
        const auto index = &form.control(name) - form.controls().data();
        HWND child = GetDlgItem(Window(id), FormWindow::kFirstChildId + static_cast<int>(index));
        if (!child) throw std::runtime_error(std::string("no child window for ") + name);
        return child;
    }
    const char* NameOfChild(FormId id, HWND child) {
        return program_->form(id).controls().at(GetDlgCtrlID(child) - FormWindow::kFirstChildId).name();
    }

    void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // What `draw` paints into a fresh bitmap of that size, read back over `area` row by row.
    static std::vector<COLORREF> Pixels(int width, int height, const RECT& area, const std::function<void(HDC)>& draw) {
        ScreenDc screen;
        MemoryDc memory(screen.Get());
        GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
        SelectedObject selected(memory.Get(), bitmap.Get());
        draw(memory.Get());
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(memory.Get(), x, y));
        return pixels;
    }

    // The form's own painting, as WM_PRINTCLIENT gives it.
    std::vector<COLORREF> PaintedPixels(FormId id, int width, int height) {
        return Pixels(width, height, RECT{0, 0, width, height}, [&](HDC dc) {
            SendMessageW(Window(id), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        });
    }

    // The program asked the system to end it.
    bool Ended() { return std::count(platform_.log.begin(), platform_.log.end(), "EndProgram") == 1; }

    static HMODULE resources_;
    // Records what the program asks of the system and touches nothing real.
    testing::FakePlatform platform_;
    std::unique_ptr<Win32Host> host_;
    std::unique_ptr<Program> program_;
};

HMODULE Win32HostTest::resources_ = nullptr;

constexpr COLORREF Hex(unsigned rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

TEST_F(Win32HostTest, TabMovesThroughTheControlsInTabIndexOrder) {
    struct Case {
        FormId id;
        std::vector<std::string> order;
    };
    for (const Case& c : {Case{kMainWindow, {main_window::kFirstFocusBox, main_window::kProfileBox, main_window::kMessengerFolderBox, main_window::kContactsFolderBox, main_window::kAccountList}},
                          Case{kResultsWindow, {results_window::kRelaunchPushButton, results_window::kQuitPushButton, results_window::kBackPushButton}}}) {
        // Out-of-view controls are made at the first showing, in their place in the tab order.
        program_->ShowForm(c.id);
        Pump();
        HWND window = Window(c.id);
        std::vector<std::string> seen;
        // From the window itself, Tab reaches the first control first.
        HWND child = GetNextDlgTabItem(window, nullptr, FALSE);
        for (size_t step = 0; step < c.order.size() && child; ++step) {
            seen.push_back(NameOfChild(c.id, child));
            child = GetNextDlgTabItem(window, child, FALSE);
        }
        EXPECT_EQ(seen, c.order);
    }
}

// Where each window opens is checked on the real screen, end to end.
TEST_F(Win32HostTest, ShowingAWindowFocusesItsFirstTabStopEachTime) {
    program_->Start();
    program_->ShowForm(kResultsWindow);
    Pump();
    EXPECT_EQ(GetFocus(), Child(kResultsWindow, results_window::kRelaunchPushButton));
    program_->HideForm(kResultsWindow);
    program_->ShowForm(kMainWindow);
    Pump();
    EXPECT_EQ(GetFocus(), Child(kMainWindow, main_window::kFirstFocusBox));
}

TEST_F(Win32HostTest, TheListOnScreenFollowsTheAccountListAndTheUsersSelection) {
    Control& list = ControlOf(kMainWindow, main_window::kAccountList);
    HWND child = Child(kMainWindow, main_window::kAccountList);
    auto shown = [&] {
        std::vector<std::wstring> items;
        const LRESULT count = SendMessageW(child, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(child, LB_GETTEXTLEN, i, 0)) + 1);
            SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            items.push_back(text.data());
        }
        return items;
    };

    list.AddItems({L"a@b.fr", L"c@d.com", L"e@f.net"});
    EXPECT_EQ(shown(), list.items());

    // The user picks the second account.
    SendMessageW(child, LB_SETCURSEL, 1, 0);
    SendMessageW(Window(kMainWindow), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(list.SelectedText(), L"c@d.com");

    list.Clear();
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(SendMessageW(child, LB_GETCURSEL, 0, 0), LB_ERR);

    std::vector<std::wstring> many;
    for (int i = 0; i < 2000; ++i) many.push_back(L"compte" + std::to_wstring(i) + L"@exemple.fr");
    list.AddItems(many);
    EXPECT_EQ(shown(), list.items());
}

TEST_F(Win32HostTest, TextBoxesShowTheProgramsTextAndGiveBackTheUsers) {
    // The load handler sets the profile box before the window shows, and the
    // box, out of view, is made only once it has shown: it must carry the text.
    platform_.environment[L"USERPROFILE"] = L"C:\\Documents and Settings\\Élodie";
    program_->ShowForm(kMainWindow);
    Pump();
    Control& profile = ControlOf(kMainWindow, main_window::kProfileBox);
    HWND child = Child(kMainWindow, main_window::kProfileBox);
    auto shown = [&] {
        std::vector<wchar_t> text(256);
        GetWindowTextW(child, text.data(), static_cast<int>(text.size()));
        return std::wstring(text.data());
    };
    EXPECT_EQ(shown(), L"C:\\Documents and Settings\\Élodie");

    profile.SetText(L"E:\\profil");
    EXPECT_EQ(shown(), L"E:\\profil");
    SetWindowTextW(child, L"D:\\autre");  // as typed by the user
    EXPECT_EQ(profile.text(), L"D:\\autre");
}

TEST_F(Win32HostTest, TheMainWindowPaintsItsPicturesUprightAndTheLineWithBothEnds) {
    const int width = 500, height = 560;
    const std::vector<COLORREF> pixels = PaintedPixels(kMainWindow, width, height);
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF line = GetSysColor(COLOR_WINDOWTEXT);

    EXPECT_EQ(at(0, 0), Hex(0x094782));   // banner top, not its white bottom
    EXPECT_EQ(at(10, 459), Hex(0xa7a6aa));  // the grey row of the picture
    EXPECT_EQ(at(10, 461), face);           // transparent rows show the window
    for (const auto& [x, colour] : {std::pair{24, line}, {480, line}, {23, face}, {481, face}})
        EXPECT_EQ(at(x, 504), colour) << x;  // the line runs from 24 to 480, both ends drawn
    EXPECT_EQ(at(50, 242), Hex(0xf0f8f8));  // "Ouvrir" cover at rest
}

TEST_F(Win32HostTest, PointerAndButtonsReachTheProgram) {
    program_->Start();
    Pump();
    HWND main = Window(kMainWindow);

    // Onto the cover of the first "Ouvrir": it goes and the lit button shows.
    SendMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(60, 250));
    EXPECT_FALSE(ControlOf(kMainWindow, main_window::kOpenMessengerCover).visible());
    EXPECT_EQ(PaintedPixels(kMainWindow, 500, 560)[242 * 500 + 50], Hex(0x28d0f8));

    SendMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 250));
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(60, 250));
    ASSERT_EQ(platform_.explored.size(), 1u);
    EXPECT_NE(platform_.explored[0].find(L"Messenger"), std::wstring::npos);
    EXPECT_EQ(GetCapture(), nullptr);

    // A double click opens one browser; a press that ends outside the window,
    // or whose capture another window takes, opens none; and the pointer held
    // outside the window does not bring the covers back.
    const auto press = [&](UINT message) {
        SendMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(60, 250));
        SendMessageW(main, message, MK_LBUTTON, MAKELPARAM(60, 250));
    };
    press(WM_LBUTTONDOWN);
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(60, 250));
    press(WM_LBUTTONDBLCLK);
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(60, 250));
    press(WM_LBUTTONDOWN);
    EXPECT_EQ(GetCapture(), main);
    SendMessageW(main, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, -20));
    EXPECT_FALSE(ControlOf(kMainWindow, main_window::kOpenMessengerCover).visible());
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
    press(WM_LBUTTONDOWN);
    SetCapture(Window(kErrorWindow));
    ReleaseCapture();
    SendMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(60, 250));
    EXPECT_EQ(platform_.explored.size(), 2u);

    // Over the bare window the covers come back.
    SendMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(60, 250));
    SendMessageW(main, WM_MOUSEMOVE, 0, MAKELPARAM(200, 385));
    EXPECT_TRUE(ControlOf(kMainWindow, main_window::kOpenMessengerCover).visible());

    // The out-of-view push button of the results window ends the program.
    program_->ShowForm(kResultsWindow);
    SendMessageW(Child(kResultsWindow, results_window::kQuitPushButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(Ended());
}

TEST_F(Win32HostTest, TheCloseBoxUnloadsASecondaryWindowAndEndsTheProgramOnTheMainOne) {
    program_->Start();
    program_->ShowForm(kErrorWindow);
    HWND error = Window(kErrorWindow);
    SendMessageW(error, WM_CLOSE, 0, 0);
    EXPECT_FALSE(program_->IsLoaded(kErrorWindow));
    EXPECT_FALSE(IsWindow(error));
    EXPECT_FALSE(Ended());

    SendMessageW(Window(kMainWindow), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ended());
}

// At another size (another resolution) a picture is resampled: its
// transparent rows stay unpainted at their new place.
TEST_F(Win32HostTest, PicturesDrawnAtAnotherSizeKeepTheirTransparency) {
    PictureCache pictures(resources_);
    pictures.Load(IDG_BANNER);
    const SIZE natural = pictures.NaturalSize(IDG_BANNER);
    EXPECT_EQ(natural.cx, 501);
    EXPECT_EQ(natural.cy, 463);

    const COLORREF marker = RGB(1, 2, 3);
    auto paint = [&](int id, const RECT& rect) {
        return Pixels(700, 600, rect, [&](HDC dc) {
            const RECT all{0, 0, 700, 600};
            GdiObject<HBRUSH> brush(CreateSolidBrush(marker));
            FillRect(dc, &all, brush.Get());
            pictures.Draw(dc, id, rect);
        });
    };

    // 120 dots per inch: 501 x 463 becomes 626 x 579.
    const std::vector<COLORREF> banner = paint(IDG_BANNER, RECT{0, 0, 626, 579});
    auto at = [&](int x, int y) { return banner[static_cast<size_t>(y) * 626 + x]; };
    EXPECT_LT(GetRValue(at(10, 2)), 40);   // the deep blue top of the banner
    EXPECT_GT(GetBValue(at(10, 2)), 100);
    EXPECT_EQ(at(10, 300), RGB(255, 255, 255));
    EXPECT_NE(at(10, 570), marker);
    for (int y : {576, 577, 578}) EXPECT_EQ(at(10, y), marker) << y;
    EXPECT_EQ(paint(IDG_BANNER, RECT{0, 0, 626, 579}), banner);  // the cached size draws the same
}

TEST(FontHeight, PointSizesBecomeCharacterHeightsAtTheScreensResolution) {
    struct Case {
        double points;
        int dotsPerInch;
        int height;
    };
    for (const Case& c : {Case{8.25, 96, -11}, Case{9.75, 96, -13}, Case{8.25, 120, -14}, Case{9.75, 120, -16}})
        EXPECT_EQ(FontHeightForPoints(c.points, c.dotsPerInch), c.height) << c.points << " pt at " << c.dotsPerInch;
}

// Each label's text as the program shows it, measured in the real fonts at
// 96 and at 120 dots per inch: it must lie inside its rectangle at that
// resolution, with no line wrapped below the bottom or wider than the label.
TEST_F(Win32HostTest, EveryLabelsTextFitsItsRectangleAt96And120DotsPerInch) {
    program_->Start();
    program_->form(kErrorWindow);
    program_->form(kResultsWindow).control(results_window::kMessage).SetText(ResultsMessage(L"prenom.nom@hotmail.com"));
    ScreenDc screen;
    for (const int dotsPerInch : {96, 120}) {
        for (const FormId id : {kMainWindow, kResultsWindow, kErrorWindow}) {
            for (Control& label : program_->form(id).controls()) {
                if (label.kind() != ControlKind::Label || label.text().empty()) continue;
                const PixelRect box = label.layout().pixels(dotsPerInch);
                const LOGFONTW description = FontDescription(label.layout().font, dotsPerInch);
                GdiObject<HFONT> font(CreateFontIndirectW(&description));
                SelectedObject selected(screen.Get(), font.Get());
                RECT needed{0, 0, box.width, 0};
                DrawTextW(screen.Get(), label.text().c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
                EXPECT_TRUE(needed.right <= box.width && needed.bottom <= box.height)
                    << label.name() << " of " << program_->form(id).layout().name << " at " << dotsPerInch << ": "
                    << needed.right << " x " << needed.bottom;
            }
        }
    }
}

}  // namespace
}  // namespace vardelune
