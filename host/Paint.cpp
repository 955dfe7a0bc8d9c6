// Painting of a form's own content, shared by WM_PAINT and WM_PRINTCLIENT.
#include "host/Paint.h"

#include "platform/win32/GdiOwners.h"

#include <algorithm>

namespace vardelune {

namespace {

void FillWith(HDC dc, const RECT& rect, const Color& color) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color)));
    if (brush) FillRect(dc, &rect, brush.Get());
}

void PaintLabel(HDC dc, Control& label, FontCache& fonts) {
    const ControlLayout& layout = label.layout();
    RECT rect = PaintedBounds(label);
    if (!layout.backColor.transparent()) FillWith(dc, rect, layout.backColor);

    SelectedObject font(dc, fonts.Get(layout.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(layout.foreColor));
    const UINT format = DT_WORDBREAK | DT_NOPREFIX | (layout.align == TextAlign::Center ? DT_CENTER : DT_LEFT);
    const std::wstring& text = label.text();
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void PaintLine(HDC dc, const Control& line) {
    const ControlLayout& layout = line.layout();
    const PixelRect ends = line.rect();
    const COLORREF color = ToColorRef(layout.foreColor);
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    if (!pen) return;
    SelectedObject selected(dc, pen.Get());
    const int x2 = ends.left + ends.width;
    const int y2 = ends.top + ends.height;
    MoveToEx(dc, ends.left, ends.top, nullptr);
    LineTo(dc, x2, y2);
    // LineTo stops short of its end point, which belongs to the line.
    SetPixelV(dc, x2, y2, color);
}

RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.left + rect.width, rect.top + rect.height}; }

bool Intersects(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

COLORREF ToColorRef(const Color& color) {
    switch (color.source) {
        case Color::Source::ButtonFace:
            return GetSysColor(COLOR_BTNFACE);
        case Color::Source::ButtonText:
            return GetSysColor(COLOR_BTNTEXT);
        case Color::Source::WindowText:
            return GetSysColor(COLOR_WINDOWTEXT);
        case Color::Source::Window:
            return GetSysColor(COLOR_WINDOW);
        case Color::Source::Rgb:
        case Color::Source::Transparent:
        default:
            // Layouts write 0xRRGGBB; the system wants red in the low byte.
            return RGB((color.rgb >> 16) & 0xFF, (color.rgb >> 8) & 0xFF, color.rgb & 0xFF);
    }
}

RECT PaintedBounds(const Control& control) {
    const PixelRect pixels = control.rect();
    if (control.kind() == ControlKind::Line) {
        const int x2 = pixels.left + pixels.width;
        const int y2 = pixels.top + pixels.height;
        return RECT{std::min(pixels.left, x2), std::min(pixels.top, y2), std::max(pixels.left, x2) + 1,
                    std::max(pixels.top, y2) + 1};
    }
    return RECT{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

void PaintContent(HDC dc, const RECT& area, Form& form, FontCache& fonts, const PictureCache& pictures) {
    const FormLayout& layout = form.layout();
    FillWith(dc, area, layout.backColor);
    if (layout.backgroundPicture != kNoPicture) {
        // The banner grows with the window, so that its white panel still lies
        // behind the list and the "Ouvrir" buttons: its natural pixels are
        // standard pixels, converted like any layout rectangle.
        const SIZE natural = pictures.NaturalSize(layout.backgroundPicture);
        const int dotsPerInch = form.dotsPerInch();
        pictures.Draw(dc, layout.backgroundPicture,
                      RECT{0, 0, TwipsToPixels(natural.cx * kTwipsPerStandardPixel, dotsPerInch),
                           TwipsToPixels(natural.cy * kTwipsPerStandardPixel, dotsPerInch)});
    }

    std::vector<Control>& controls = form.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        Control& control = *it;
        if (IsWindowed(control.kind()) || !control.visible()) continue;
        if (!Intersects(PaintedBounds(control), area)) continue;
        switch (control.kind()) {
            case ControlKind::Label:
                PaintLabel(dc, control, fonts);
                break;
            case ControlKind::Picture:
                pictures.Draw(dc, control.layout().picture, ToRect(control.rect()));
                break;
            case ControlKind::Line:
                PaintLine(dc, control);
                break;
            default:
                break;
        }
    }
}

}  // namespace vardelune
