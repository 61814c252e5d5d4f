#include "icon_file.h"

#include <stdexcept>

namespace quillmark::artwork {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr int kColours = 16;

void appendInfoHeader(ByteBuffer& out, int width, int height, int bitsPerPixel,
                      std::uint32_t imageSize) {
    out.u32le(kInfoHeaderSize);
    out.u32le(static_cast<std::uint32_t>(width));
    out.u32le(static_cast<std::uint32_t>(height)); // positive: rows run bottom-up
    out.u16le(1);                                  // planes
    out.u16le(static_cast<unsigned>(bitsPerPixel));
    out.u32le(0); // no compression
    out.u32le(imageSize);
    out.u32le(0); // no resolution
    out.u32le(0);
    out.u32le(kColours);
    out.u32le(0); // all colours important
}

void appendColourTable(ByteBuffer& out, const QList<QRgb>& palette) {
    for (qsizetype i = 0; i < kColours; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.u8(static_cast<unsigned>(qBlue(c)));
        out.u8(static_cast<unsigned>(qGreen(c)));
        out.u8(static_cast<unsigned>(qRed(c)));
        out.u8(0);
    }
}

// Packs rows bottom-up at 1, 4 or 8 bits per pixel, high bits first, each row
// padded to a 32-bit word.
template <class Value>
void appendRows(ByteBuffer& out, int width, int height, int bits, Value value) {
    const std::size_t stride = bitmapRowStride(width, bits);
    for (int y = height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            const int shift = 8 - bits - bit % 8;
            row[static_cast<std::size_t>(bit / 8)] |=
                static_cast<std::uint8_t>(value(x, y) << shift);
        }
        out.append(row);
    }
}

} // namespace

std::size_t bitmapRowStride(int width, int bitsPerPixel) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

Bytes encodeIco4(const std::vector<QImage>& images, const QList<QRgb>& palette) {
    if (palette.size() > kColours) {
        throw std::invalid_argument("palette larger than the colour table");
    }
    std::vector<Bytes> bodies;
    for (const QImage& picture : images) {
        if (picture.width() > 255 || picture.height() > 255) {
            throw std::invalid_argument("icon image too large");
        }
        const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, palette);
        const int width = picture.width();
        const int height = picture.height();
        auto transparent = [&](int x, int y) { return qAlpha(picture.pixel(x, y)) < 128; };
        const std::size_t xorBytes = bitmapRowStride(width, 4) * static_cast<std::size_t>(height);
        const std::size_t andBytes = bitmapRowStride(width, 1) * static_cast<std::size_t>(height);
        ByteBuffer body;
        // An icon's bitmap counts the XOR and the AND rows together in its height.
        appendInfoHeader(body, width, 2 * height, 4,
                         static_cast<std::uint32_t>(xorBytes + andBytes));
        appendColourTable(body, palette);
        // Transparent pixels are black in the colour image, so the mask alone decides.
        appendRows(body, width, height, 4,
                   [&](int x, int y) { return transparent(x, y) ? 0 : indexed.pixelIndex(x, y); });
        appendRows(body, width, height, 1, [&](int x, int y) { return transparent(x, y) ? 1 : 0; });
        bodies.push_back(body.take());
    }

    ByteBuffer out;
    out.u16le(0); // reserved
    out.u16le(1); // icon
    out.u16le(static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.u8(static_cast<unsigned>(images[i].width()));
        out.u8(static_cast<unsigned>(images[i].height()));
        out.u8(16);   // colours
        out.u8(0);    // reserved
        out.u16le(1); // planes
        out.u16le(4); // bits per pixel
        out.u32le(static_cast<std::uint32_t>(bodies[i].size()));
        out.u32le(offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies) {
        out.append(body);
    }
    return out.take();
}

} // namespace quillmark::artwork
