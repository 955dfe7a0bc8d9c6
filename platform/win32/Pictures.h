// The GIF pictures embedded in the executable, each decoded once and drawn at
// its natural size with its transparent colour left unpainted.
#pragma once

#include "platform/win32/ComPtr.h"

#include <windows.h>
#include <ocidl.h>

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

    // Draws a loaded picture with its top-left corner at (x, y); a picture
    // that was never loaded is not drawn.
    void Draw(HDC dc, int id, int x, int y) const;

    // The natural size of a loaded picture in pixels; empty when not loaded.
    SIZE PixelSize(int id) const;

private:
    struct Entry {
        int id;
        ComPtr<IPicture> picture;
        OLE_XSIZE_HIMETRIC width;
        OLE_YSIZE_HIMETRIC height;
        SIZE pixels;
    };
    const Entry* Find(int id) const;

    HINSTANCE module_;
    std::vector<Entry> entries_;
};

}  // namespace vardelune
