// The generator's building blocks: checksums, colour reduction, blending and
// the feather's geometry.

#include "bitmap_files.h"
#include "canvas.h"
#include "indexed_image.h"
#include "png_file.h"
#include "quill.h"

#include <gtest/gtest.h>
#include <string_view>

namespace {

using namespace quillmark::artwork;

std::uint32_t crcOf(std::string_view s) {
    return crc32(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}
std::uint32_t adlerOf(std::string_view s) {
    return adler32(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(ArtworkChecksums, MatchPublishedCheckValues) {
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926u);
    EXPECT_EQ(crcOf(""), 0u);
    EXPECT_EQ(adlerOf("Wikipedia"), 0x11E60398u);
    EXPECT_EQ(adlerOf(""), 1u);
    // Sums past the modulus wrap as they should (value from zlib's adler32).
    const std::string ones(6000, '\xFF');
    EXPECT_EQ(adlerOf(ones), 0xA49759EAu);
}

TEST(ArtworkBitmaps, PngOfManyRowsSplitsIntoStoredBlocksOfAtMost65535Bytes) {
    // 200 x 100 RGBA rows make 80,100 bytes: two stored blocks.
    const Canvas canvas(200, 100, rgb(0x336699));
    const Bytes png = encodePng(canvas);
    const std::size_t idat = 8 + 25 + 8; // signature, IHDR chunk, IDAT length and type
    EXPECT_EQ(png[idat + 2], 0u) << "first block not final";
    EXPECT_EQ(png[idat + 3] | png[idat + 4] << 8, 65535);
    const std::size_t second = idat + 2 + 5 + 65535;
    EXPECT_EQ(png[second], 1u) << "second block final";
    EXPECT_EQ(png[second + 1] | png[second + 2] << 8, 80100 - 65535);
}

TEST(ArtworkBitmaps, IconRejectsMoreThanSixteenColours) {
    IndexedImage image;
    image.width = 1;
    image.height = 1;
    image.palette.assign(17, rgb(0));
    image.indices = {0};
    image.transparent = {false};
    EXPECT_THROW(encodeIco4({image}), std::invalid_argument);
}

TEST(ArtworkColours, FewColoursAreKeptExactly) {
    Canvas canvas(3, 2, rgb(0x102030));
    canvas.at(1, 0) = rgb(0xF0E0D0);
    canvas.at(2, 1) = rgb(0x80FF00);
    const std::vector<Rgba> palette = medianCutPalette(canvas, 256);
    ASSERT_EQ(palette.size(), 3u);
    const IndexedImage image = mapToPalette(canvas, palette);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Rgba want = canvas.at(x, y);
            const Rgba got = image.palette[image.at(x, y)];
            EXPECT_EQ(channelByte(got.r), channelByte(want.r));
            EXPECT_EQ(channelByte(got.g), channelByte(want.g));
            EXPECT_EQ(channelByte(got.b), channelByte(want.b));
        }
    }
    // Sorted dark to light.
    EXPECT_LT(luminance(palette[0]), luminance(palette[1]));
    EXPECT_LT(luminance(palette[1]), luminance(palette[2]));
}

TEST(ArtworkColours, GradientReducedTo16ColoursStaysClose) {
    Canvas canvas(256, 4, {});
    for (int x = 0; x < 256; ++x) {
        for (int y = 0; y < 4; ++y) {
            canvas.at(x, y) = {x / 255.0, 0.5, 1 - x / 255.0, 1};
        }
    }
    const IndexedImage image = mapToPalette(canvas, medianCutPalette(canvas, 16));
    EXPECT_EQ(image.palette.size(), 16u);
    for (int x = 0; x < 256; ++x) {
        const Rgba got = image.palette[image.at(x, 0)];
        // 256 steps over 16 colours: each within half a group (8 steps) and a rounding.
        EXPECT_NEAR(got.r * 255, x, 9) << x;
        EXPECT_NEAR(got.b * 255, 255 - x, 9) << x;
    }
}

TEST(ArtworkColours, PixelsLessThanHalfOpaqueBecomeTransparent) {
    Canvas canvas(2, 1, rgb(0xFFFFFF, 0.49));
    canvas.at(1, 0).a = 0.5;
    const IndexedImage image = mapToPalette(canvas, {rgb(0), rgb(0xFFFFFF)});
    EXPECT_TRUE(image.isTransparent(0, 0));
    EXPECT_EQ(image.at(0, 0), 0u);
    EXPECT_FALSE(image.isTransparent(1, 0));
    EXPECT_EQ(image.at(1, 0), 1u);
}

TEST(ArtworkCanvas, BlendingKeepsColourStraightAndAddsCoverage) {
    Canvas canvas(1, 1, {0, 0, 0, 0});
    canvas.blend(0, 0, rgb(0xFF0000), 0.5);
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).r, 1.0) << "half-covered red is still red, half opaque";
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).a, 0.5);
    canvas.blend(0, 0, rgb(0x0000FF), 0.5);
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).a, 0.75);
    EXPECT_NEAR(canvas.at(0, 0).b, 0.5 / 0.75, 1e-12);
    canvas.blend(0, 0, rgb(0x00FF00), 1.0);
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).g, 1.0);
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).r, 0.0);
    EXPECT_DOUBLE_EQ(canvas.at(0, 0).a, 1.0);
}

QuillShape testQuill() {
    QuillShape q;
    q.nib = {10, 190};
    q.bend = {60, 90};
    q.tip = {180, 20};
    q.vaneStart = 0.3;
    q.leftWidth = 30;
    q.rightWidth = 20;
    q.shaftWidth = 2;
    return q;
}

TEST(ArtworkQuill, LocatesThePointOfTheShaftNearestToAPoint) {
    const QuillShape shape = testQuill();
    const Quill quill(shape);
    // Compare with a dense walk along the curve, for points all around it.
    for (int y = 0; y <= 200; y += 8) {
        for (int x = 0; x <= 200; x += 8) {
            const Vec2 p{x + 0.25, y + 0.5};
            double best = 1e9;
            for (int i = 0; i <= 4000; ++i) {
                best = std::min(
                    best, length(p - quadraticPoint(shape.nib, shape.bend, shape.tip, i / 4000.0)));
            }
            EXPECT_NEAR(std::abs(quill.locate(p).side), best, 0.05) << x << "," << y;
        }
    }
}

TEST(ArtworkQuill, VaneLiesOnBothSidesAboveItsStartAndClosesAtTheTip) {
    const Quill quill(testQuill());
    EXPECT_GT(quill.locate({20, 100}).side, 0) << "above-left of a shaft rising to the right";
    EXPECT_LT(quill.locate({100, 180}).side, 0);

    EXPECT_EQ(quill.vaneWidth(0.2, true), 0.0) << "bare shaft below the vane";
    EXPECT_NEAR(quill.vaneWidth(0.3 + 0.7 / std::sqrt(3.0), true), 30, 1e-9) << "widest point";
    EXPECT_NEAR(quill.vaneWidth(0.3 + 0.7 / std::sqrt(3.0), false), 20, 1e-9);
    EXPECT_LT(quill.vaneWidth(0.99, true), 10.0);
    EXPECT_EQ(quill.vaneWidth(1.0, true), 0.0);

    const Quill::Place nearNib = quill.locate(quadraticPoint({10, 190}, {60, 90}, {180, 20}, 0.1));
    EXPECT_GT(quill.vaneDistance(nearNib), 0) << "no vane at the nib";
    EXPECT_LT(quill.shaftDistance(nearNib), 0) << "but the shaft";
}

} // namespace
