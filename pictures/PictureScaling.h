// Resampling of a picture to another size, for drawing it at a resolution
// other than the one it was made for. Portable: no Windows header.
#pragma once

#include "pictures/GifDecoder.h"

#include <cstdint>
#include <vector>

namespace vardelune {

// Pixels as 0xAARRGGBB, rows top-down; alpha 0 is transparent.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The decoded picture with its transparent colour as alpha 0, the others opaque.
RgbaPicture ToRgba(const GifPicture& picture);

// Area averaging: each new pixel is the mean of the source area it covers,
// weighted by opacity so that transparent pixels lend no colour, and its
// alpha is the opaque share of that area. The same size gives the same pixels.
RgbaPicture ResampleArea(const RgbaPicture& source, int width, int height);

}  // namespace vardelune
