// The description of a window as data: its properties and its controls in
// drawing order (topmost first), in twips as the window designer stores them,
// together with the table that routes its events to handlers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vardelune {

// A twip is 1/1440 inch: 15 to the pixel at the standard 96 dots per inch,
// 12 at 120. Layouts keep twips so that they follow the screen's resolution.
constexpr int kTwipsPerInch = 1440;
constexpr int kStandardDotsPerInch = 96;
constexpr int kTwipsPerStandardPixel = kTwipsPerInch / kStandardDotsPerInch;

// Rounded to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    const long long scaled = static_cast<long long>(twips) * dotsPerInch;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((half - scaled) / kTwipsPerInch));
}

enum class ControlKind { Label, TextBox, ListBox, PushButton, Picture, Line };

// Text boxes, the list box and push buttons are real child windows that lie
// above everything the form paints itself.
constexpr bool IsWindowed(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::ListBox || kind == ControlKind::PushButton;
}

// A colour as 0x00RRGGBB, or one of the system colours that follow the theme.
struct Color {
    enum class Source { Rgb, ButtonFace, ButtonText, WindowText, Window, Transparent };
    Source source = Source::Transparent;
    std::uint32_t rgb = 0;

    static Color Rgb(std::uint32_t value) { return {Source::Rgb, value}; }
    static Color System(Source source) { return {source, 0}; }
    static Color None() { return {Source::Transparent, 0}; }
    bool transparent() const { return source == Source::Transparent; }
};

struct FontStyle {
    const wchar_t* face = L"MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool underline = false;
};

enum class TextAlign { Left, Center };

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
};

constexpr int kNoTabStop = -1;
constexpr int kNoPicture = 0;

struct ControlLayout {
    const char* name;
    ControlKind kind;
    TwipsRect twips;  // for a line: x1 = left, y1 = top, x2 = left + width, y2 = top + height
    const wchar_t* text = L"";
    int picture = kNoPicture;  // resource id of a GIF picture
    FontStyle font{};
    Color foreColor = Color::System(Color::Source::ButtonText);
    Color backColor = Color::System(Color::Source::ButtonFace);
    TextAlign align = TextAlign::Left;
    int tabIndex = kNoTabStop;

    // A line converts both its ends, so that they stay where the layout puts them.
    PixelRect pixels(int dotsPerInch) const {
        const int left = TwipsToPixels(twips.left, dotsPerInch);
        const int top = TwipsToPixels(twips.top, dotsPerInch);
        if (kind == ControlKind::Line)
            return {left, top, TwipsToPixels(twips.left + twips.width, dotsPerInch) - left,
                    TwipsToPixels(twips.top + twips.height, dotsPerInch) - top};
        return {left, top, TwipsToPixels(twips.width, dotsPerInch), TwipsToPixels(twips.height, dotsPerInch)};
    }
};

enum class FormId { Form1, Form2, Form3 };
enum class Border { SizableWithMinimize, FixedSingle };

class Program;
class Form;
class Control;
// A handler gets the window whose event it handles and, for a control's
// event, that control.
using Handler = void (*)(Program& program, Form& form, Control* control);

enum class EventKind {
    Load,             // the window is loaded (before the reference completes)
    Unload,           // the user closes the window with its close box
    MouseMoveWindow,  // the pointer moves over the bare window
    MouseMove,        // the pointer moves over the named control
    Click             // the named control is clicked
};

struct HandlerEntry {
    EventKind event;
    const char* control;  // nullptr for window events
    Handler handler;
};

struct FormLayout {
    FormId id;
    const char* name;
    const wchar_t* title;
    int clientWidthTwips;
    int clientHeightTwips;
    Border border;
    Color backColor;
    int backgroundPicture;  // kNoPicture for none
    std::vector<ControlLayout> controls;  // drawing order, topmost first
    std::vector<const char*> covers;    // the order in which covers are shown again
    std::vector<HandlerEntry> handlers;

    int clientWidthPixels(int dotsPerInch) const { return TwipsToPixels(clientWidthTwips, dotsPerInch); }
    int clientHeightPixels(int dotsPerInch) const { return TwipsToPixels(clientHeightTwips, dotsPerInch); }
    // Wholly below or right of the client area: not seen unless the user enlarges the window.
    bool liesOutOfView(const ControlLayout& control, int dotsPerInch) const {
        const PixelRect rect = control.pixels(dotsPerInch);
        return rect.top >= clientHeightPixels(dotsPerInch) || rect.left >= clientWidthPixels(dotsPerInch);
    }
};

}  // namespace vardelune
