// The generator's building blocks: colour reduction, the icon's mask,
// blending and the feather's geometry.

#include "canvas.h"
#include "icon_file.h"
#include "image_files.h"
#include "median_cut.h"
#include "quill.h"

#include <gtest/gtest.h>

namespace {

using namespace quillmark::artwork;

TEST(ArtworkBitmaps, IconRejectsMoreThanSixteenColours) {
    const QList<QRgb> palette(17, qRgb(0, 0, 0));
    EXPECT_THROW(encodeIco4({toImage(Canvas(1, 1, rgb(0)))}, palette), std::invalid_argument);
}

TEST(ArtworkBitmaps, IconMasksPixelsLessThanHalfOpaque) {
    Canvas canvas(2, 1, rgb(0xFFFFFF, 0.49));
    canvas.at(1, 0).a = 0.5;
    const Bytes ico = encodeIco4({toImage(canvas)}, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const std::size_t pixels = 6 + 16 + 40 + 16 * 4;
    EXPECT_EQ(ico[pixels], 0x01) << "transparent black, then white";
    EXPECT_EQ(ico[pixels + 4], 0x80) << "AND mask: only the first pixel";
}

// Each pixel of the canvas as QImage maps it to the palette.
std::vector<QRgb> mapped(const Canvas& canvas, const std::vector<Rgba>& palette) {
    const QImage image =
        toImage(canvas).convertToFormat(QImage::Format_Indexed8, colourTable(palette));
    std::vector<QRgb> colours;
    colours.reserve(static_cast<std::size_t>(canvas.width()));
    for (int x = 0; x < canvas.width(); ++x) {
        colours.push_back(image.pixel(x, 0));
    }
    return colours;
}

TEST(ArtworkColours, FewColoursAreKeptExactly) {
    Canvas canvas(3, 1, rgb(0x102030));
    canvas.at(1, 0) = rgb(0xF0E0D0);
    canvas.at(2, 0) = rgb(0x80FF00);
    const std::vector<Rgba> palette = medianCutPalette(canvas, 256);
    ASSERT_EQ(palette.size(), 3u);
    EXPECT_EQ(mapped(canvas, palette), (std::vector<QRgb>{0xFF102030, 0xFFF0E0D0, 0xFF80FF00}));
    // Sorted dark to light.
    EXPECT_LT(luminance(palette[0]), luminance(palette[1]));
    EXPECT_LT(luminance(palette[1]), luminance(palette[2]));
}

TEST(ArtworkColours, GradientReducedTo16ColoursStaysClose) {
    Canvas canvas(256, 1, {});
    for (int x = 0; x < 256; ++x) {
        canvas.at(x, 0) = {x / 255.0, 0.5, 1 - x / 255.0, 1};
    }
    const std::vector<Rgba> palette = medianCutPalette(canvas, 16);
    EXPECT_EQ(palette.size(), 16u);
    const std::vector<QRgb> got = mapped(canvas, palette);
    for (int x = 0; x < 256; ++x) {
        // 256 steps over 16 colours: each within half a group (8 steps) and a rounding.
        EXPECT_NEAR(qRed(got[static_cast<std::size_t>(x)]), x, 9) << x;
        EXPECT_NEAR(qBlue(got[static_cast<std::size_t>(x)]), 255 - x, 9) << x;
    }
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
