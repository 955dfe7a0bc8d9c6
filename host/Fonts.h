// The fonts of the layouts (face, points, bold, underline), each made once
// at the screen's resolution and kept for the life of the program.
#pragma once

#include "app/Layout.h"
#include "platform/win32/GdiOwners.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vardelune {

// The character height (negative lfHeight) of a point size at a resolution:
// 8.25 pt is 11 pixels and 9.75 pt is 13 pixels at 96 dots per inch.
int FontHeightForPoints(double points, int dotsPerInch);

// The resolution that the system gives this program (96 when it gives none):
// the fonts and the layouts both follow it.
int ScreenDotsPerInch();

// The description of a layout font at a resolution.
LOGFONTW FontDescription(const FontStyle& style, int dotsPerInch);

class FontCache {
public:
    // Fonts for a screen of this resolution.
    explicit FontCache(int dotsPerInch) : dotsPerInch_(dotsPerInch) {}
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // Throws a ProgramError when the system cannot make the font.
    HFONT Get(const FontStyle& style);

private:
    struct Entry {
        std::wstring face;
        double points;
        bool bold;
        bool underline;
        GdiObject<HFONT> font;
    };
    int dotsPerInch_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace vardelune
