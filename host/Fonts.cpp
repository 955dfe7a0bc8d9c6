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

LOGFONTW FontDescription(const FontSpec& spec, int dotsPerInch) {
    LOGFONTW description{};
    description.lfHeight = FontHeightForPoints(spec.points, dotsPerInch);
    description.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    description.lfUnderline = spec.underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // Longer face names than LOGFONT holds are cut, as the system would.
    wcsncpy(description.lfFaceName, spec.face, LF_FACESIZE - 1);
    description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    return description;
}

HFONT FontCache::Get(const FontSpec& spec) {
    for (const auto& entry : entries_)
        if (entry->face == spec.face && entry->points == spec.points && entry->bold == spec.bold &&
            entry->underline == spec.underline)
            return entry->font.Get();

    const LOGFONTW description = FontDescription(spec, dotsPerInch_);
    GdiObject<HFONT> font(CreateFontIndirectW(&description));
    if (!font) ThrowLastError();

    auto entry = std::make_unique<Entry>(Entry{spec.face, spec.points, spec.bold, spec.underline, std::move(font)});
    HFONT made = entry->font.Get();
    entries_.push_back(std::move(entry));
    return made;
}

}  // namespace vardelune
