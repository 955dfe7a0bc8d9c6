// Short constructors for the rows of the window layout tables, so that each
// table reads column by column like the designer's own listing.
#pragma once

#include "app/Layout.h"

namespace vardelune::rows {

inline const FontSpec kSansSerif{L"MS Sans Serif", 8.25, false, false};
inline const FontSpec kSansSerifBold{L"MS Sans Serif", 8.25, true, false};
inline const FontSpec kSansSerifUnderlined{L"MS Sans Serif", 8.25, false, true};
inline const FontSpec kSansSerifLargeBold{L"MS Sans Serif", 9.75, true, false};
inline const FontSpec kArial{L"Arial", 8.25, false, false};
inline const FontSpec kArialBold{L"Arial", 8.25, true, false};

inline const Color kButtonFace = Color::System(Color::Source::ButtonFace);
inline const Color kButtonText = Color::System(Color::Source::ButtonText);
inline const Color kWindowText = Color::System(Color::Source::WindowText);
inline const Color kTransparent = Color::None();
inline const Color kWhite = Color::Rgb(0xFFFFFF);
inline const Color kBlack = Color::Rgb(0x000000);
inline const Color kBlue = Color::Rgb(0x0000FF);

inline ControlSpec Label(const char* name, TwipsRect twips, const wchar_t* text, FontSpec font, Color fore,
                         Color back, TextAlign align, int tabIndex) {
    ControlSpec spec{name, ControlKind::Label, twips, text};
    spec.font = font;
    spec.foreColor = fore;
    spec.backColor = back;
    spec.align = align;
    spec.tabIndex = tabIndex;
    return spec;
}

inline ControlSpec Picture(const char* name, TwipsRect twips, int picture) {
    ControlSpec spec{name, ControlKind::Picture, twips};
    spec.picture = picture;
    return spec;
}

inline ControlSpec Windowed(const char* name, ControlKind kind, TwipsRect twips, const wchar_t* text,
                            int tabIndex) {
    ControlSpec spec{name, kind, twips, text};
    spec.font = kSansSerif;
    spec.tabIndex = tabIndex;
    return spec;
}

inline ControlSpec TextBox(const char* name, TwipsRect twips, const wchar_t* text, int tabIndex) {
    return Windowed(name, ControlKind::TextBox, twips, text, tabIndex);
}

inline ControlSpec ListBox(const char* name, TwipsRect twips, int tabIndex) {
    return Windowed(name, ControlKind::ListBox, twips, L"", tabIndex);
}

inline ControlSpec PushButton(const char* name, TwipsRect twips, const wchar_t* text, int tabIndex) {
    return Windowed(name, ControlKind::PushButton, twips, text, tabIndex);
}

// A line from (x1, y1) to (x2, y2), stored as a rectangle from the first end.
inline ControlSpec Line(const char* name, int x1, int y1, int x2, int y2) {
    ControlSpec spec{name, ControlKind::Line, TwipsRect{x1, y1, x2 - x1, y2 - y1}};
    spec.foreColor = kWindowText;
    spec.backColor = kTransparent;
    return spec;
}

}  // namespace vardelune::rows
