// The GIF decoder against the pictures we embed and against damaged files, and
// the resampling that draws a picture at another size.
#include "forms/Windows.h"
#include "pictures/GifDecoder.h"
#include "pictures/PictureScaling.h"
#include "app/Errors.h"
#include "resources/ResourceIds.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>

namespace vardelune::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::map<int, const char*> kResourceFiles = {
    {IDG_BANNER, "banner.gif"},
    {IDG_OUVRIR_PLAIN, "ouvrir_plain.gif"},
    {IDG_OUVRIR_PLAIN_COPY, "ouvrir_plain_copy.gif"},
    {IDG_OUVRIR_HIGHLIGHTED, "ouvrir_highlighted.gif"},
    {IDG_OUVRIR_HIGHLIGHTED_COPY, "ouvrir_highlighted_copy.gif"},
    {IDG_REPARER_PLAIN, "reparer_plain.gif"},
    {IDG_REPARER_HIGHLIGHTED, "reparer_highlighted.gif"},
    {IDG_RELAUNCH_PLAIN, "relaunch_plain.gif"},
    {IDG_RELAUNCH_HIGHLIGHTED, "relaunch_highlighted.gif"},
    {IDG_BACK_PLAIN, "back_plain.gif"},
    {IDG_BACK_HIGHLIGHTED, "back_highlighted.gif"},
    {IDG_RECOMMENCER_PLAIN, "recommencer_plain.gif"},
    {IDG_RECOMMENCER_HIGHLIGHTED, "recommencer_highlighted.gif"},
};

Bytes ReadResource(int id) {
    std::ifstream file(std::string(VARDELUNE_RESOURCES_DIR "/") + kResourceFiles.at(id), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

GifPicture Decode(const Bytes& bytes) { return DecodeGif(bytes.data(), bytes.size()); }

std::uint32_t ColourAt(const GifPicture& picture, int x, int y) {
    return picture.palette[picture.indices[static_cast<size_t>(y) * picture.width + x]];
}

// 3 x 2 pixels: red, green, transparent / blue, red, red (palette: blue,
// green, red, and the transparent index 3).
const Bytes kSmall = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00,
                      0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21,
                      0xF9, 0x04, 0x01, 0x00, 0x00, 0x03, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x03,
                      0x00, 0x02, 0x00, 0x00, 0x02, 0x04, 0x54, 0x06, 0x22, 0x05, 0x00, 0x3B};

TEST(GifDecoder, ReadsEveryPixelOfASmallPictureWithItsTransparentColour) {
    const GifPicture picture = Decode(kSmall);
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.indices, (std::vector<std::uint8_t>{2, 1, 3, 0, 2, 2}));
    EXPECT_EQ(picture.transparentIndex, 3);
    EXPECT_EQ(ColourAt(picture, 0, 0), 0xFF0000u);
    EXPECT_EQ(ColourAt(picture, 0, 1), 0x0000FFu);
}

// Every picture that a layout shows decodes at the size of its control, so
// that it is drawn pixel for pixel.
TEST(GifDecoder, DecodesEveryEmbeddedPictureAtTheSizeOfItsControls) {
    for (const FormLayout* layout : ProgramWindows())
        for (const ControlLayout& control : layout->controls) {
            if (control.kind != ControlKind::Picture) continue;
            const GifPicture picture = Decode(ReadResource(control.picture));
            EXPECT_EQ(picture.width, control.pixels(kStandardDotsPerInch).width) << control.name;
            EXPECT_EQ(picture.height, control.pixels(kStandardDotsPerInch).height) << control.name;
            EXPECT_EQ(picture.transparentIndex, -1) << control.name;
            EXPECT_EQ(ColourAt(picture, 0, 0), 0xECF6F9u) << control.name;  // the outer frame
        }
}

void ExpectInvalid(const Bytes& bytes, const std::string& what) {
    try {
        Decode(bytes);
        ADD_FAILURE() << what << ": decoded";
    } catch (const ProgramError& error) {
        EXPECT_EQ(error.number(), error::kInvalidPicture) << what;
        EXPECT_EQ(error.kind(), ErrorNumberKind::Runtime) << what;
    }
}

TEST(GifDecoder, RefusesDamagedPicturesWithErrorNumber481) {
    struct Damage {
        const char* what;
        size_t offset;
        std::uint8_t value;
    };
    const Damage damages[] = {
        {"signature", 0, 'X'},
        {"zero width", 6, 0},
        {"no colour table", 10, 0x00},
        {"a colour table shorter than the file holds", 10, 0x80},
        {"graphic control of another size", 27, 5},
        {"frame narrower than the picture", 38, 2},
        {"frame moved right", 34, 1},
        {"code size above 8", 43, 12},
        {"a first code that is not a colour", 45, 0x57},
        {"unknown block", 33, 0x2B},
    };
    for (const Damage& damage : damages) {
        Bytes bytes = kSmall;
        bytes[damage.offset] = damage.value;
        ExpectInvalid(bytes, damage.what);
    }
    Bytes huge = kSmall;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535
    ExpectInvalid(huge, "huge");
}

// A cut anywhere either fails cleanly or, once every pixel is in, changes nothing.
TEST(GifDecoder, TruncatedPicturesFailCleanlyAtEveryLength) {
    for (const Bytes& whole : {kSmall, ReadResource(IDG_BANNER), ReadResource(IDG_REPARER_HIGHLIGHTED)}) {
        const GifPicture complete = Decode(whole);
        const size_t step = whole.size() > 1000 ? 37 : 1;
        for (size_t length = 0; length < whole.size(); length += step) {
            // A copy of exactly that length, so that a read past it is one past the allocation.
            const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            try {
                EXPECT_EQ(Decode(cut).indices, complete.indices) << length;
            } catch (const ProgramError& error) {
                EXPECT_EQ(error.number(), error::kInvalidPicture) << length;
            }
        }
    }
}

TEST(ResampleArea, KeepsTheSizeExactlyAndAveragesOnlyTheOpaquePixels) {
    constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kClear = 0;
    struct Case {
        const char* what;
        RgbaPicture source;
        int width, height;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"same size", RgbaPicture{2, 2, {kRed, kClear, 0xFF123456, kBlue}}, 2, 2, {kRed, kClear, 0xFF123456, kBlue}},
        {"halved: the mean colour", RgbaPicture{2, 1, {kRed, kBlue}}, 1, 1, {0xFF800080}},
        // Transparent black lends no colour; the pixel is half covered.
        {"halved beside a transparent pixel", RgbaPicture{2, 1, {kRed, kClear}}, 1, 1, {0x80FF0000}},
        {"doubled: each pixel twice", RgbaPicture{2, 1, {kRed, kClear}}, 4, 2,
         {kRed, kRed, kClear, kClear, kRed, kRed, kClear, kClear}},
        {"two thirds: a pixel and a half each", RgbaPicture{3, 1, {kRed, kRed, kBlue}}, 2, 1, {kRed, 0xFF5500AA}},
    };
    for (const Case& c : cases) {
        const RgbaPicture result = ResampleArea(c.source, c.width, c.height);
        EXPECT_EQ(result.width, c.width) << c.what;
        EXPECT_EQ(result.pixels, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace vardelune::testing
