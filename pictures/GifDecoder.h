// Decoding of the single-frame GIF pictures embedded in the program, without
// the system's image codecs. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vardelune {

struct GifPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB per colour index
    std::vector<std::uint8_t> indices;   // one colour index per pixel, rows top-down
    int transparentIndex = -1;           // -1: every pixel is opaque

    bool IsTransparent(std::size_t pixel) const { return indices[pixel] == transparentIndex; }
};

// Decodes the first frame, which must cover the whole picture; throws a
// ProgramError numbered error::kInvalidPicture (481) when the bytes are
// truncated or malformed. Never reads outside [data, data + size).
GifPicture DecodeGif(const std::uint8_t* data, std::size_t size);

}  // namespace vardelune
