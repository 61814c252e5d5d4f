#include "bitmap_files.h"

#include <stdexcept>

namespace quillmark::artwork {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780; // 96 dpi

void appendInfoHeader(ByteBuffer& out, int width, int height, int bitsPerPixel,
                      std::uint32_t imageSize, std::uint32_t pixelsPerMetre,
                      std::uint32_t coloursUsed) {
    out.u32le(kInfoHeaderSize);
    out.u32le(static_cast<std::uint32_t>(width));
    out.u32le(static_cast<std::uint32_t>(height)); // positive: rows run bottom-up
    out.u16le(1);                                  // planes
    out.u16le(static_cast<unsigned>(bitsPerPixel));
    out.u32le(0); // no compression
    out.u32le(imageSize);
    out.u32le(pixelsPerMetre);
    out.u32le(pixelsPerMetre);
    out.u32le(coloursUsed);
    out.u32le(0); // all colours important
}

void appendColourTable(ByteBuffer& out, const std::vector<Rgba>& palette, std::size_t entries) {
    if (palette.size() > entries) {
        throw std::invalid_argument("palette larger than the colour table");
    }
    for (std::size_t i = 0; i < entries; ++i) {
        const Rgba c = i < palette.size() ? palette[i] : Rgba{0, 0, 0, 1};
        out.u8(channelByte(c.b));
        out.u8(channelByte(c.g));
        out.u8(channelByte(c.r));
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

Bytes encodeBmp8(const IndexedImage& image) {
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(
        bitmapRowStride(image.width, 8) * static_cast<std::size_t>(image.height));
    const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 256 * 4;
    ByteBuffer out;
    out.u8('B');
    out.u8('M');
    out.u32le(pixelOffset + pixelBytes);
    out.u32le(0); // reserved
    out.u32le(pixelOffset);
    appendInfoHeader(out, image.width, image.height, 8, pixelBytes, kPixelsPerMetre, 256);
    appendColourTable(out, image.palette, 256);
    appendRows(out, image.width, image.height, 8, [&](int x, int y) { return image.at(x, y); });
    return out.take();
}

Bytes encodeIco4(const std::vector<IndexedImage>& images) {
    std::vector<Bytes> bodies;
    for (const IndexedImage& image : images) {
        if (image.width > 255 || image.height > 255) {
            throw std::invalid_argument("icon image too large");
        }
        const std::size_t xorBytes =
            bitmapRowStride(image.width, 4) * static_cast<std::size_t>(image.height);
        const std::size_t andBytes =
            bitmapRowStride(image.width, 1) * static_cast<std::size_t>(image.height);
        ByteBuffer body;
        // An icon's bitmap counts the XOR and the AND rows together in its height.
        appendInfoHeader(body, image.width, 2 * image.height, 4,
                         static_cast<std::uint32_t>(xorBytes + andBytes), 0, 16);
        appendColourTable(body, image.palette, 16);
        // Transparent pixels are black in the colour image, so the mask alone decides.
        appendRows(body, image.width, image.height, 4,
                   [&](int x, int y) { return image.isTransparent(x, y) ? 0 : image.at(x, y); });
        appendRows(body, image.width, image.height, 1,
                   [&](int x, int y) { return image.isTransparent(x, y) ? 1 : 0; });
        bodies.push_back(body.take());
    }

    ByteBuffer out;
    out.u16le(0); // reserved
    out.u16le(1); // icon
    out.u16le(static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.u8(static_cast<unsigned>(images[i].width));
        out.u8(static_cast<unsigned>(images[i].height));
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
