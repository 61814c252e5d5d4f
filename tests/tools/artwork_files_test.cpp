// Reads the committed pictures the way a toolkit would and checks what the
// window and the desktop rely on: formats, sizes, masks, that black text stays
// readable over the background, and that they are what the generator draws.

#include "artwork_set.h"
#include "support/temp_folder.h"

#include <QImage>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using quillmark::test::readFile;

std::string committed(const std::string& path) {
    std::string bytes = readFile(std::string(QUILLMARK_SOURCE_ROOT) + "/" + path);
    if (bytes.empty()) {
        ADD_FAILURE() << "missing or empty: " << path;
    }
    return bytes;
}

QImage committedImage(const std::string& path) {
    return QImage::fromData(QByteArray::fromStdString(committed(path)));
}

unsigned u8(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b.at(at));
}
unsigned u16le(const std::string& b, std::size_t at) {
    return u8(b, at) | u8(b, at + 1) << 8;
}
std::uint32_t u32le(const std::string& b, std::size_t at) {
    return u16le(b, at) | static_cast<std::uint32_t>(u16le(b, at + 2)) << 16;
}
std::int32_t s32le(const std::string& b, std::size_t at) {
    return static_cast<std::int32_t>(u32le(b, at));
}

// Gamma-encoded brightness 0..1, the measure the window's design is given in.
double lumaOf(unsigned r, unsigned g, unsigned b) {
    return (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255;
}

// WCAG contrast of black text on a colour.
double blackTextContrast(unsigned r, unsigned g, unsigned b) {
    auto linear = [](unsigned c) {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double l = 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
    return (l + 0.05) / 0.05;
}

// The background decoded into colours by (x, y), y = 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB

    unsigned channel(int x, int y, int shift) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)] >>
                   shift &
               0xFF;
    }
    double luma(int x, int y) const {
        return lumaOf(channel(x, y, 16), channel(x, y, 8), channel(x, y, 0));
    }
    double meanLuma() const {
        double sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                sum += luma(x, y);
            }
        }
        return sum / (width * height);
    }
};

constexpr int kWidth = 571;
constexpr int kHeight = 545;
constexpr std::size_t kStride = 572;

Picture decodeBackground(const std::string& bmp) {
    Picture p{kWidth, kHeight, {}};
    const std::uint32_t pixelOffset = u32le(bmp, 10);
    for (int y = 0; y < kHeight; ++y) {
        // Rows are stored bottom-up.
        const std::size_t row = pixelOffset + static_cast<std::size_t>(kHeight - 1 - y) * kStride;
        for (int x = 0; x < kWidth; ++x) {
            const std::size_t entry = 54 + 4 * u8(bmp, row + static_cast<std::size_t>(x));
            p.pixels.push_back(u8(bmp, entry + 2) << 16 | u8(bmp, entry + 1) << 8 | u8(bmp, entry));
        }
    }
    return p;
}

TEST(BackgroundPicture, IsAnUncompressedBottomUp8BitBmpOfTheWindowsSize) {
    const std::string bmp = committed("src/ui/assets/background.bmp");
    ASSERT_EQ(bmp.size(), 312818u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(u32le(bmp, 2), bmp.size());
    EXPECT_EQ(u32le(bmp, 10), 14u + 40 + 256 * 4);
    EXPECT_EQ(u32le(bmp, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(s32le(bmp, 18), kWidth);
    EXPECT_EQ(s32le(bmp, 22), kHeight) << "a positive height means bottom-up rows";
    EXPECT_EQ(u16le(bmp, 26), 1u);
    EXPECT_EQ(u16le(bmp, 28), 8u);
    EXPECT_EQ(u32le(bmp, 30), 0u) << "no compression";
    EXPECT_EQ(u32le(bmp, 34), kStride * kHeight);
    EXPECT_EQ(u32le(bmp, 46), 256u) << "colour table entries";
    for (std::size_t i = 0; i < 256; ++i) {
        EXPECT_EQ(u8(bmp, 54 + 4 * i + 3), 0u) << "reserved byte of colour " << i;
    }
    for (int row = 0; row < kHeight; ++row) {
        EXPECT_EQ(u8(bmp, 1078 + static_cast<std::size_t>(row) * kStride + kWidth), 0u)
            << "padding byte of row " << row;
    }
}

TEST(BackgroundPicture, MeanLuminanceIsAboutThreeQuartersOfWhite) {
    const double mean = decodeBackground(committed("src/ui/assets/background.bmp")).meanLuma();
    EXPECT_GE(mean, 0.72);
    EXPECT_LE(mean, 0.74);
}

TEST(BackgroundPicture, LabelAreaIsLightAndCalmEnoughForBlackText) {
    const Picture p = decodeBackground(committed("src/ui/assets/background.bmp"));
    const double whole = p.meanLuma();

    // The caption and value columns of the lower half, where labels draw
    // their text straight onto the picture.
    double sum = 0;
    double sumSquares = 0;
    double worstContrast = 100;
    int n = 0;
    for (int y = 264; y < 520; ++y) {
        for (int x = 16; x < 420; ++x) {
            const double l = p.luma(x, y);
            sum += l;
            sumSquares += l * l;
            ++n;
            worstContrast =
                std::min(worstContrast, blackTextContrast(p.channel(x, y, 16), p.channel(x, y, 8),
                                                          p.channel(x, y, 0)));
        }
    }
    const double mean = sum / n;
    const double spread = std::sqrt(sumSquares / n - mean * mean);
    EXPECT_GT(mean, whole) << "the text area should be the lighter part (upside-down rows?)";
    EXPECT_GE(worstContrast, 7.0) << "WCAG AAA contrast for black text everywhere";
    EXPECT_LT(spread, 0.03) << "too busy under the labels";
}

struct IconImage {
    unsigned width = 0;
    std::vector<unsigned> indices; // by (x, y), y = 0 at the top
    std::vector<bool> transparent; // from the AND mask
    std::vector<std::uint32_t> palette;
};

// Checks one image of the icon file and decodes it.
IconImage readIconImage(const std::string& ico, std::size_t entry, unsigned size,
                        std::uint32_t bytes, std::uint32_t offset) {
    const std::size_t e = 6 + 16 * entry;
    EXPECT_EQ(u8(ico, e), size);
    EXPECT_EQ(u8(ico, e + 1), size);
    EXPECT_EQ(u8(ico, e + 2), 16u) << "colours";
    EXPECT_EQ(u16le(ico, e + 4), 1u) << "planes";
    EXPECT_EQ(u16le(ico, e + 6), 4u) << "bits per pixel";
    EXPECT_EQ(u32le(ico, e + 8), bytes);
    EXPECT_EQ(u32le(ico, e + 12), offset);

    EXPECT_EQ(u32le(ico, offset), 40u);
    EXPECT_EQ(s32le(ico, offset + 4), static_cast<std::int32_t>(size));
    EXPECT_EQ(s32le(ico, offset + 8), static_cast<std::int32_t>(2 * size)) << "XOR + AND rows";
    EXPECT_EQ(u16le(ico, offset + 14), 4u);
    EXPECT_EQ(u32le(ico, offset + 16), 0u);
    const std::size_t xorStride = (std::size_t{size} * 4 + 31) / 32 * 4;
    const std::size_t andStride = (std::size_t{size} + 31) / 32 * 4;
    EXPECT_EQ(40 + 64 + (xorStride + andStride) * size, bytes);

    IconImage image;
    image.width = size;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::size_t c = offset + 40 + 4 * i;
        image.palette.push_back(u8(ico, c + 2) << 16 | u8(ico, c + 1) << 8 | u8(ico, c));
    }
    const std::size_t xorAt = offset + 40 + 64;
    const std::size_t andAt = xorAt + xorStride * size;
    for (unsigned y = 0; y < size; ++y) {
        const unsigned row = size - 1 - y; // bottom-up
        for (unsigned x = 0; x < size; ++x) {
            const unsigned pair = u8(ico, xorAt + row * xorStride + x / 2);
            image.indices.push_back(x % 2 == 0 ? pair >> 4 : pair & 0xF);
            image.transparent.push_back(
                (u8(ico, andAt + row * andStride + x / 8) >> (7 - x % 8) & 1) != 0);
        }
        for (std::size_t pad = (size + 7) / 8; pad < andStride; ++pad) {
            EXPECT_EQ(u8(ico, andAt + row * andStride + pad), 0u) << "mask padding";
        }
    }
    return image;
}

TEST(WindowIcon, HoldsA32And16Pixel16ColourImageWithMasks) {
    const std::string ico = committed("src/ui/assets/quillmark.ico");
    ASSERT_EQ(ico.size(), 1078u);
    EXPECT_EQ(u16le(ico, 0), 0u);
    EXPECT_EQ(u16le(ico, 2), 1u) << "icon, not cursor";
    ASSERT_EQ(u16le(ico, 4), 2u);
    const IconImage large = readIconImage(ico, 0, 32, 744, 38);
    const IconImage small = readIconImage(ico, 1, 16, 296, 38 + 744);

    for (const IconImage* image : {&large, &small}) {
        const unsigned w = image->width;
        SCOPED_TRACE(w);
        int opaque = 0;
        bool light = false;
        bool dark = false;
        for (std::size_t i = 0; i < image->indices.size(); ++i) {
            if (image->transparent[i]) {
                EXPECT_EQ(image->indices[i], 0u) << "masked pixels must be black to stay invisible";
                continue;
            }
            ++opaque;
            const std::uint32_t c = image->palette[image->indices[i]];
            const double l = lumaOf(c >> 16, c >> 8 & 0xFF, c & 0xFF);
            light = light || l > 0.85;
            dark = dark || l < 0.35;
        }
        // The motif fills much of the square, and shows a light feather on a dark cartridge.
        EXPECT_GT(opaque, static_cast<int>(w * w * 4 / 10));
        EXPECT_LT(opaque, static_cast<int>(w * w * 9 / 10));
        EXPECT_TRUE(light && dark);
        EXPECT_TRUE(image->transparent[0]) << "top-left corner";
        EXPECT_TRUE(image->transparent[std::size_t{w - 1} * w]) << "bottom-left corner";
        EXPECT_FALSE(image->transparent[std::size_t{w / 2} * w + w / 2]) << "centre";
        // Upright: the feather's tip reaches into the top-right corner, and
        // nothing stands in the bottom-right one.
        int topRight = 0;
        int bottomRight = 0;
        for (unsigned y = 0; y < w / 4; ++y) {
            for (unsigned x = w * 3 / 4; x < w; ++x) {
                topRight += image->transparent[y * w + x] ? 0 : 1;
                bottomRight += image->transparent[(w - 1 - y) * w + x] ? 0 : 1;
            }
        }
        EXPECT_GT(topRight, 0);
        EXPECT_EQ(bottomRight, 0);
    }
}

TEST(DesktopIcons, ArePngsWithAlphaDrawnAtEachSize) {
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const QImage icon = committedImage("data/icons/hicolor/" + name + "/apps/quillmark.png");
        ASSERT_EQ(icon.size(), QSize(size, size));
        ASSERT_TRUE(icon.hasAlphaChannel());
        int partial = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const int alpha = qAlpha(icon.pixel(x, y));
                partial += alpha != 0 && alpha != 255 ? 1 : 0;
            }
        }
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        // Edges are smoothed over about one pixel of the icon's own size: an
        // enlarged smaller icon would have a soft band several pixels wide.
        EXPECT_GT(partial, size);
        EXPECT_LT(partial, 5 * size / 2);
    }
}

TEST(DesktopIcons, ScalableIconIsAnSvgOfTheLargestSize) {
    QXmlStreamReader svg(
        QByteArray::fromStdString(committed("data/icons/hicolor/scalable/apps/quillmark.svg")));
    ASSERT_TRUE(svg.readNextStartElement());
    EXPECT_EQ(svg.name(), QStringLiteral("svg"));
    EXPECT_EQ(svg.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 256 256"));
    while (!svg.atEnd()) {
        svg.readNext();
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
}

TEST(HighDensityBackground, IsTheSamePictureAtTwiceTheSize) {
    const QImage one =
        committedImage("src/ui/assets/background.bmp").convertToFormat(QImage::Format_RGB32);
    const QImage two = committedImage("src/ui/assets/background@2x.png");
    ASSERT_EQ(two.size(), QSize(2 * kWidth, 2 * kHeight));
    // Each 2x2 block averages to its 1x pixel, give or take the 1x palette.
    double difference = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int sum = 0;
            for (int i = 0; i < 4; ++i) {
                sum += qGray(two.pixel(2 * x + i % 2, 2 * y + i / 2));
            }
            difference += std::abs(sum / 4.0 - qGray(one.pixel(x, y)));
        }
    }
    EXPECT_LT(difference / (kWidth * kHeight), 1.5);
}

TEST(WindowIcon, MasksWhatTheMenuIconLeavesTransparent) {
    const QImage ico = committedImage("src/ui/assets/quillmark.ico");
    const QImage png = committedImage("data/icons/hicolor/32x32/apps/quillmark.png");
    ASSERT_EQ(ico.size(), png.size());
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(qAlpha(ico.pixel(x, y)) == 0, qAlpha(png.pixel(x, y)) < 128) << x << "," << y;
        }
    }
}

// Regenerates every picture: where Qt wrote the file, its bytes may change with
// Qt's version, so the decoded pixels must match; our own files match byte for byte.
TEST(CommittedArtwork, IsWhatTheGeneratorDraws) {
    for (const quillmark::artwork::ArtworkFile& file : quillmark::artwork::makeArtwork()) {
        SCOPED_TRACE(file.path);
        const std::string bytes(file.bytes.begin(), file.bytes.end());
        const bool byQt = file.path.ends_with(".png") || file.path.ends_with(".bmp");
        if (!byQt) {
            EXPECT_TRUE(bytes == committed(file.path)) << "run make-artwork and commit";
            continue;
        }
        const QImage drawn = QImage::fromData(QByteArray::fromStdString(bytes));
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                  committedImage(file.path).convertToFormat(QImage::Format_ARGB32))
            << "run make-artwork and commit";
    }
}

} // namespace
