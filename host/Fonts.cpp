// Fonts of the layouts, made on first use.
#include "host/Fonts.h"

#include "platform/win32/ErrorText.h"

#include <cmath>
#include <cwchar>

namespace vardelune {

int FontHeightForPoints(double points, int dotsPerInch) {
    return -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

int ScreenDotsPerInch() {
    ScreenDc screen;
    const int dotsPerInch = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dotsPerInch > 0 ? dotsPerInch : kStandardDotsPerInch;
}

LOGFONTW FontDescription(const FontStyle& style, int dotsPerInch) {
    LOGFONTW description{};
    description.lfHeight = FontHeightForPoints(style.points, dotsPerInch);
    description.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    description.lfUnderline = style.underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // Longer face names than LOGFONT holds are cut, as the system would.
    wcsncpy(description.lfFaceName, style.face, LF_FACESIZE - 1);
    description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return description;
}

HFONT FontCache::Get(const FontStyle& style) {
    for (const auto& entry : entries_)
        if (entry->face == style.face && entry->points == style.points && entry->bold == style.bold &&
            entry->underline == style.underline)
            return entry->font.Get();

    const LOGFONTW description = FontDescription(style, dotsPerInch_);
    GdiObject<HFONT> font(CreateFontIndirectW(&description));
    if (!font) ThrowLastError();

    auto entry = std::make_unique<Entry>(Entry{style.face, style.points, style.bold, style.underline, std::move(font)});
    HFONT made = entry->font.Get();
    entries_.push_back(std::move(entry));
    return made;
}

}  // namespace vardelune
