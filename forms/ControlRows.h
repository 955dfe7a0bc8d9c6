// Short constructors for the rows of the window layout tables, so that each
// table reads column by column like the designer's own listing.
#pragma once

#include "app/Layout.h"

namespace vardelune::rows {

inline const FontStyle kSansSerif{L"MS Sans Serif", 8.25, false, false};
inline const FontStyle kSansSerifBold{L"MS Sans Serif", 8.25, true, false};
inline const FontStyle kSansSerifUnderlined{L"MS Sans Serif", 8.25, false, true};
inline const FontStyle kSansSerifLargeBold{L"MS Sans Serif", 9.75, true, false};
inline const FontStyle kArial{L"Arial", 8.25, false, false};
inline const FontStyle kArialBold{L"Arial", 8.25, true, false};

inline const Color kButtonFace = Color::System(Color::Source::ButtonFace);
inline const Color kButtonText = Color::System(Color::Source::ButtonText);
inline const Color kWindowText = Color::System(Color::Source::WindowText);
inline const Color kTransparent = Color::None();
inline const Color kWhite = Color::Rgb(0xFFFFFF);
inline const Color kBlack = Color::Rgb(0x000000);
inline const Color kBlue = Color::Rgb(0x0000FF);

inline ControlLayout Label(const char* name, TwipsRect twips, const wchar_t* text, FontStyle font, Color fore,
                         Color back, TextAlign align, int tabIndex) {
    ControlLayout layout{name, ControlKind::Label, twips, text};
    layout.font = font;
    layout.foreColor = fore;
    layout.backColor = back;
    layout.align = align;
    layout.tabIndex = tabIndex;
    return layout;
}

inline ControlLayout Picture(const char* name, TwipsRect twips, int picture) {
    ControlLayout layout{name, ControlKind::Picture, twips};
    layout.picture = picture;
    return layout;
}

inline ControlLayout Windowed(const char* name, ControlKind kind, TwipsRect twips, const wchar_t* text,
                            int tabIndex) {
    ControlLayout layout{name, kind, twips, text};
    layout.font = kSansSerif;
    layout.tabIndex = tabIndex;
    return layout;
}

inline ControlLayout TextBox(const char* name, TwipsRect twips, const wchar_t* text, int tabIndex) {
    return Windowed(name, ControlKind::TextBox, twips, text, tabIndex);
}

inline ControlLayout ListBox(const char* name, TwipsRect twips, int tabIndex) {
    return Windowed(name, ControlKind::ListBox, twips, L"", tabIndex);
}

inline ControlLayout PushButton(const char* name, TwipsRect twips, const wchar_t* text, int tabIndex) {
    return Windowed(name, ControlKind::PushButton, twips, text, tabIndex);
}

// A line from (x1, y1) to (x2, y2), stored as a rectangle from the first end.
inline ControlLayout Line(const char* name, int x1, int y1, int x2, int y2) {
    ControlLayout layout{name, ControlKind::Line, TwipsRect{x1, y1, x2 - x1, y2 - y1}};
    layout.foreColor = kWindowText;
    layout.backColor = kTransparent;
    return layout;
}

}  // namespace vardelune::rows
