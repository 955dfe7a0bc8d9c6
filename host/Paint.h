// What a form paints itself: its background, its background picture and its
// windowless controls (labels, pictures, the line), bottom-most first.
#pragma once

#include "app/Form.h"
#include "host/Fonts.h"
#include "host/Pictures.h"

#include <windows.h>

namespace vardelune {

// A layout colour as the system draws it; system colours follow the theme.
COLORREF ToColorRef(const Color& color);

// The client pixels that a windowless control paints; a line's both ends are
// included.
RECT PaintedBounds(const Control& control);

// Paints the part of the client area in `area` into `dc` (client coordinates).
// Hidden controls are not painted; the first control of the layout ends on top.
void PaintContent(HDC dc, const RECT& area, Form& form, FontCache& fonts, const PictureCache& pictures);

}  // namespace vardelune
