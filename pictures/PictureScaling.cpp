// Separable box filter in premultiplied colour: one pass across, one down.
#include "pictures/PictureScaling.h"

#include <algorithm>
#include <cmath>

namespace vardelune {

namespace {

struct Tap {
    int source;
    double weight;
};

// For each of `to` new pixels, the source pixels that its span of the `from`
// old ones covers and their shares of it (the shares add up to one).
std::vector<std::vector<Tap>> Taps(int from, int to) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * scale;
        const double end = (i + 1) * scale;
        for (int j = static_cast<int>(begin); j < from && j < end; ++j) {
            const double covered = std::min<double>(end, j + 1) - std::max<double>(begin, j);
            if (covered > 1e-9) taps[i].push_back({j, covered / scale});
        }
    }
    return taps;
}

struct Premultiplied {
    double a = 0, r = 0, g = 0, b = 0;
    void Add(const Premultiplied& p, double weight) {
        a += p.a * weight;
        r += p.r * weight;
        g += p.g * weight;
        b += p.b * weight;
    }
};

Premultiplied FromPixel(std::uint32_t pixel) {
    const double a = (pixel >> 24) / 255.0;
    return {a, a * ((pixel >> 16) & 0xFF), a * ((pixel >> 8) & 0xFF), a * (pixel & 0xFF)};
}

std::uint32_t ToPixel(const Premultiplied& p) {
    if (p.a <= 1e-9) return 0;
    auto channel = [](double value) {
        return static_cast<std::uint32_t>(std::min(255.0, std::max(0.0, std::floor(value + 0.5))));
    };
    return channel(p.a * 255) << 24 | channel(p.r / p.a) << 16 | channel(p.g / p.a) << 8 | channel(p.b / p.a);
}

}  // namespace

RgbaPicture ToRgba(const GifPicture& picture) {
    RgbaPicture rgba{picture.width, picture.height, std::vector<std::uint32_t>(picture.indices.size())};
    for (size_t i = 0; i < picture.indices.size(); ++i)
        rgba.pixels[i] = picture.IsTransparent(i) ? 0 : 0xFF000000u | picture.palette[picture.indices[i]];
    return rgba;
}

RgbaPicture ResampleArea(const RgbaPicture& source, int width, int height) {
    RgbaPicture result{width, height, {}};
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) return result;
    const auto across = Taps(source.width, width);
    const auto down = Taps(source.height, height);

    std::vector<Premultiplied> rows(static_cast<size_t>(width) * source.height);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            Premultiplied& sum = rows[static_cast<size_t>(y) * width + x];
            for (const Tap& tap : across[x])
                sum.Add(FromPixel(source.pixels[static_cast<size_t>(y) * source.width + tap.source]), tap.weight);
        }

    result.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Premultiplied sum;
            for (const Tap& tap : down[y]) sum.Add(rows[static_cast<size_t>(tap.source) * width + x], tap.weight);
            result.pixels[static_cast<size_t>(y) * width + x] = ToPixel(sum);
        }
    return result;
}

}  // namespace vardelune
