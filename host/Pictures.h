// The GIF pictures embedded in the executable, each decoded once by our own
// decoder and drawn with its transparent colour left unpainted: at its natural
// size pixel for pixel, at any other size resampled smoothly.
#pragma once

#include "platform/win32/GdiOwners.h"

#include <windows.h>

#include <vector>

namespace vardelune {

class PictureCache {
public:
    explicit PictureCache(HINSTANCE module) : module_(module) {}
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    // Decodes the picture if it is not decoded yet; throws a ProgramError
    // when the executable lacks it or it cannot be decoded.
    void Load(int id);

    // Draws a loaded picture into the destination rectangle: unchanged when
    // the rectangle has the picture's natural size, resampled otherwise (each
    // size is resampled once and kept). A picture never loaded is not drawn.
    void Draw(HDC dc, int id, const RECT& destination) const;

    // The natural size of a loaded picture in pixels; empty when not loaded.
    SIZE NaturalSize(int id) const;

private:
    // One size of a picture: its colours, with black where it is transparent,
    // and a monochrome mask set where it is transparent (none when opaque).
    struct Bitmaps {
        SIZE size{0, 0};
        GdiObject<HBITMAP> colour;
        GdiObject<HBITMAP> mask;
    };
    struct Entry {
        int id = 0;
        Bitmaps natural;
        mutable std::vector<Bitmaps> scaled;
    };
    const Entry* Find(int id) const;
    const Bitmaps* ScaledOf(const Entry& entry, SIZE size) const;

    HINSTANCE module_;
    std::vector<Entry> entries_;
};

}  // namespace vardelune
