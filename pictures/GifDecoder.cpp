// GIF89a/87a reader for our own pictures: one image descriptor that covers the
// logical screen, a global or local colour table, an optional transparent
// index from the graphic control extension, and variable-width LZW data.
#include "pictures/GifDecoder.h"

#include "app/ErrorTexts.h"

#include <cstring>
#include <string>

namespace vardelune {

namespace {

// Larger than anything we embed, small enough that a corrupt size cannot
// ask for gigabytes.
constexpr long kMaxPixels = 16L * 1024 * 1024;
constexpr int kMaxCodes = 4096;

[[noreturn]] void Invalid(const wchar_t* why) {
    throw NumberedError(error::kInvalidPicture, std::wstring(L"(") + why + L")");
}

// Bounds-checked reading through the file's bytes.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() {
        if (position_ >= size_) Invalid(L"fin inattendue");
        return data_[position_++];
    }
    int Word() {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    const std::uint8_t* Take(std::size_t count) {
        if (count > size_ - position_) Invalid(L"fin inattendue");
        const std::uint8_t* taken = data_ + position_;
        position_ += count;
        return taken;
    }
    // A chain of sub-blocks, each led by its length, ended by an empty one.
    void SubBlocks(std::vector<std::uint8_t>* into) {
        for (std::uint8_t length = Byte(); length != 0; length = Byte()) {
            const std::uint8_t* block = Take(length);
            if (into) into->insert(into->end(), block, block + length);
        }
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

std::vector<std::uint32_t> ColourTable(Reader& reader, int packed) {
    const int count = 1 << ((packed & 0x07) + 1);
    const std::uint8_t* bytes = reader.Take(static_cast<std::size_t>(count) * 3);
    std::vector<std::uint32_t> table(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        table[i] = (std::uint32_t{bytes[3 * i]} << 16) | (std::uint32_t{bytes[3 * i + 1]} << 8) | bytes[3 * i + 2];
    return table;
}

// Codes of a growing width, least significant bit first.
class CodeReader {
public:
    explicit CodeReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    // -1 once the data is exhausted.
    int Next(int width) {
        while (bits_ < width) {
            if (position_ >= bytes_.size()) return -1;
            buffer_ |= std::uint32_t{bytes_[position_++]} << bits_;
            bits_ += 8;
        }
        const int code = static_cast<int>(buffer_ & ((1u << width) - 1));
        buffer_ >>= width;
        bits_ -= width;
        return code;
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_ = 0;
    std::uint32_t buffer_ = 0;
    int bits_ = 0;
};

// Fills `out` (exactly out.size() indices) from the LZW data.
void DecodeLzw(const std::vector<std::uint8_t>& data, int minimumCodeSize, std::vector<std::uint8_t>& out) {
    if (minimumCodeSize < 2 || minimumCodeSize > 8) Invalid(L"taille de code");
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::uint16_t prefix[kMaxCodes];
    std::uint8_t suffix[kMaxCodes];
    std::uint16_t length[kMaxCodes];  // of each code's string, to write it back to front
    for (int code = 0; code < clear; ++code) {
        prefix[code] = 0;
        suffix[code] = static_cast<std::uint8_t>(code);
        length[code] = 1;
    }

    CodeReader codes(data);
    int width = minimumCodeSize + 1;
    int next = end + 1;
    int previous = -1;
    std::size_t written = 0;
    while (written < out.size()) {
        const int code = codes.Next(width);
        if (code < 0) Invalid(L"données tronquées");
        if (code == clear) {
            width = minimumCodeSize + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end) break;
        if (previous < 0) {
            if (code >= clear) Invalid(L"code inconnu");
            out[written++] = static_cast<std::uint8_t>(code);
            previous = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes)) Invalid(L"code inconnu");
        // The string of `code`, or for the code being defined right now the
        // previous string followed by its own first index.
        const int known = code < next ? code : previous;
        int first = known;
        while (first >= clear) first = prefix[first];
        if (next < kMaxCodes) {
            prefix[next] = static_cast<std::uint16_t>(previous);
            suffix[next] = static_cast<std::uint8_t>(first);
            length[next] = static_cast<std::uint16_t>(length[previous] + 1);
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        const std::size_t count = length[code];
        if (count > out.size() - written) Invalid(L"trop de pixels");
        int walk = code;
        for (std::size_t i = count; i-- > 0;) {
            out[written + i] = suffix[walk];
            walk = prefix[walk];
        }
        written += count;
        previous = code;
    }
    if (written < out.size()) Invalid(L"données tronquées");
}

// Interlaced rows come in four passes: every 8th from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1.
std::vector<std::uint8_t> Deinterlace(const std::vector<std::uint8_t>& passes, int width, int height) {
    std::vector<std::uint8_t> rows(passes.size());
    static const int kStart[] = {0, 4, 2, 1};
    static const int kStep[] = {8, 8, 4, 2};
    std::size_t source = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            std::memcpy(&rows[static_cast<std::size_t>(y) * width], &passes[source], static_cast<std::size_t>(width));
            source += static_cast<std::size_t>(width);
        }
    return rows;
}

}  // namespace

GifPicture DecodeGif(const std::uint8_t* data, std::size_t size) {
    Reader reader(data, size);
    const std::uint8_t* signature = reader.Take(6);
    if (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0)
        Invalid(L"signature");

    GifPicture picture;
    picture.width = reader.Word();
    picture.height = reader.Word();
    const int screenPacked = reader.Byte();
    reader.Take(2);  // background colour, pixel proportions
    if (picture.width == 0 || picture.height == 0 || long{picture.width} * picture.height > kMaxPixels)
        Invalid(L"dimensions");
    if (screenPacked & 0x80) picture.palette = ColourTable(reader, screenPacked);

    for (;;) {
        const std::uint8_t block = reader.Byte();
        if (block == 0x21) {
            const std::uint8_t label = reader.Byte();
            if (label == 0xF9) {
                if (reader.Byte() != 4) Invalid(L"extension");
                const std::uint8_t* control = reader.Take(4);
                if (reader.Byte() != 0) Invalid(L"extension");
                if (control[0] & 0x01) picture.transparentIndex = control[3];
            } else {
                reader.SubBlocks(nullptr);
            }
            continue;
        }
        if (block != 0x2C) Invalid(block == 0x3B ? L"aucune image" : L"bloc inconnu");

        const int left = reader.Word();
        const int top = reader.Word();
        const int width = reader.Word();
        const int height = reader.Word();
        const int packed = reader.Byte();
        if (left != 0 || top != 0 || width != picture.width || height != picture.height) Invalid(L"cadre");
        if (packed & 0x80) picture.palette = ColourTable(reader, packed);
        if (picture.palette.empty()) Invalid(L"pas de palette");

        const int minimumCodeSize = reader.Byte();
        std::vector<std::uint8_t> compressed;
        reader.SubBlocks(&compressed);
        picture.indices.resize(static_cast<std::size_t>(width) * height);
        DecodeLzw(compressed, minimumCodeSize, picture.indices);
        if (packed & 0x40) picture.indices = Deinterlace(picture.indices, width, height);
        break;
    }

    const std::size_t colours = picture.palette.size();
    for (std::uint8_t index : picture.indices)
        if (index >= colours) Invalid(L"couleur hors palette");
    return picture;
}

}  // namespace vardelune
