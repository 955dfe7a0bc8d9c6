// The GIF resources decoded by our own decoder into DIB sections: a paletted
// one at the natural size, 32-bit ones for other sizes, and beside each a
// monochrome mask of its transparent pixels for the SRCAND/SRCPAINT pair.
#include "host/Pictures.h"

#include "pictures/GifDecoder.h"
#include "pictures/PictureScaling.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/GdiOwners.h"
#include "resources/ResourceIds.h"

#include <cstring>

namespace vardelune {

namespace {

GifPicture DecodeResource(HINSTANCE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"" VARDELUNE_GIF_TYPE);
    if (!found) ThrowLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) ThrowLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return DecodeGif(static_cast<const std::uint8_t*>(bytes), size);
}

// A top-down DIB section; `bits` receives its pixels. Its colours are in the
// header, so it needs no device context (each screen DC costs a call to the
// display driver).
HBITMAP CreateDib(const BITMAPINFO& info, void** bits) {
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (!bitmap || !*bits) ThrowLastError();
    return bitmap;
}

struct PalettedInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Set bits are the transparent pixels; rows of a device bitmap are whole words.
template <typename IsTransparent>
GdiObject<HBITMAP> CreateMask(int width, int height, IsTransparent isTransparent) {
    const size_t stride = static_cast<size_t>((width + 15) / 16) * 2;
    std::vector<BYTE> bits(stride * height, 0);
    bool any = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (isTransparent(static_cast<size_t>(y) * width + x)) {
                bits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
                any = true;
            }
    if (!any) return GdiObject<HBITMAP>();
    GdiObject<HBITMAP> mask(CreateBitmap(width, height, 1, 1, bits.data()));
    if (!mask) ThrowLastError();
    return mask;
}

void DrawBitmaps(HDC dc, int x, int y, HBITMAP colour, HBITMAP mask, SIZE size) {
    MemoryDc memory(dc);
    if (!memory) return;
    if (!mask) {
        SelectedObject selected(memory.Get(), colour);
        BitBlt(dc, x, y, size.cx, size.cy, memory.Get(), 0, 0, SRCCOPY);
        return;
    }
    // A monochrome source takes the destination's text colour for its clear
    // bits and its background colour for its set ones: the AND keeps the
    // transparent pixels and blackens the others, the OR then paints them.
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF background = SetBkColor(dc, RGB(255, 255, 255));
    {
        SelectedObject selected(memory.Get(), mask);
        BitBlt(dc, x, y, size.cx, size.cy, memory.Get(), 0, 0, SRCAND);
    }
    {
        SelectedObject selected(memory.Get(), colour);
        BitBlt(dc, x, y, size.cx, size.cy, memory.Get(), 0, 0, SRCPAINT);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, background);
}

// Rows from the top down, as the decoded pictures hold them.
BITMAPINFOHEADER TopDownHeader(int width, int height, WORD bitsPerPixel) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = bitsPerPixel;
    header.biCompression = BI_RGB;
    return header;
}

}  // namespace

const PictureCache::Entry* PictureCache::Find(int id) const {
    for (const Entry& entry : entries_)
        if (entry.id == id) return &entry;
    return nullptr;
}

void PictureCache::Load(int id) {
    if (id == 0 || Find(id)) return;
    const GifPicture picture = DecodeResource(module_, id);

    PalettedInfo info{};
    info.header = TopDownHeader(picture.width, picture.height, 8);
    info.header.biClrUsed = static_cast<DWORD>(picture.palette.size());
    for (size_t i = 0; i < picture.palette.size(); ++i) {
        // Black under the mask, so that the OR leaves the background as it is.
        const std::uint32_t rgb = static_cast<int>(i) == picture.transparentIndex ? 0 : picture.palette[i];
        info.colours[i] = RGBQUAD{static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                                  static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
    }
    void* bits = nullptr;
    Entry entry;
    entry.id = id;
    entry.natural.size = SIZE{picture.width, picture.height};
    entry.natural.colour = GdiObject<HBITMAP>(CreateDib(reinterpret_cast<const BITMAPINFO&>(info), &bits));
    const size_t stride = (static_cast<size_t>(picture.width) + 3) & ~size_t{3};
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<BYTE*>(bits) + y * stride, &picture.indices[static_cast<size_t>(y) * picture.width],
                    static_cast<size_t>(picture.width));
    GdiFlush();
    entry.natural.mask =
        CreateMask(picture.width, picture.height, [&](size_t pixel) { return picture.IsTransparent(pixel); });
    entries_.push_back(std::move(entry));
}

const PictureCache::Bitmaps* PictureCache::ScaledOf(const Entry& entry, SIZE size) const {
    for (const Bitmaps& scaled : entry.scaled)
        if (scaled.size.cx == size.cx && scaled.size.cy == size.cy) return &scaled;

    const RgbaPicture resampled = ResampleArea(ToRgba(DecodeResource(module_, entry.id)), size.cx, size.cy);
    // Drawn without blending: a pixel at least half covered is opaque.
    auto isTransparent = [&](size_t pixel) { return (resampled.pixels[pixel] >> 24) < 128; };

    BITMAPINFO info{};
    info.bmiHeader = TopDownHeader(size.cx, size.cy, 32);
    void* bits = nullptr;
    Bitmaps scaled;
    scaled.size = size;
    scaled.colour = GdiObject<HBITMAP>(CreateDib(info, &bits));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (size_t i = 0; i < resampled.pixels.size(); ++i)
        pixels[i] = isTransparent(i) ? 0 : resampled.pixels[i] & 0x00FFFFFFu;
    GdiFlush();
    scaled.mask = CreateMask(size.cx, size.cy, isTransparent);
    entry.scaled.push_back(std::move(scaled));
    return &entry.scaled.back();
}

void PictureCache::Draw(HDC dc, int id, const RECT& destination) const {
    const Entry* entry = Find(id);
    const SIZE size{destination.right - destination.left, destination.bottom - destination.top};
    if (!entry || size.cx <= 0 || size.cy <= 0) return;
    const bool natural = size.cx == entry->natural.size.cx && size.cy == entry->natural.size.cy;
    const Bitmaps* bitmaps = natural ? &entry->natural : ScaledOf(*entry, size);
    DrawBitmaps(dc, destination.left, destination.top, bitmaps->colour.Get(), bitmaps->mask.Get(), size);
}

SIZE PictureCache::NaturalSize(int id) const {
    const Entry* entry = Find(id);
    return entry ? entry->natural.size : SIZE{0, 0};
}

}  // namespace vardelune
