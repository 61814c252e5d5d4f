#include "png_file.h"

#include <array>

namespace quillmark::artwork {

namespace {

constexpr std::size_t kMaxStoredBlock = 65535;

void appendChunk(ByteBuffer& out, const char* type, const Bytes& data) {
    ByteBuffer chunk;
    chunk.append(std::string(type, 4));
    chunk.append(data);
    out.u32be(static_cast<std::uint32_t>(data.size()));
    out.append(chunk.bytes());
    out.u32be(crc32(chunk.bytes().data(), chunk.size()));
}

// A zlib stream of stored blocks around `raw`.
Bytes storedZlib(const Bytes& raw) {
    ByteBuffer z;
    z.u8(0x78); // deflate, 32 KiB window
    z.u8(0x01); // no preset dictionary; header check makes 0x7801 a multiple of 31
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(kMaxStoredBlock, raw.size() - at);
        const bool last = at + n == raw.size();
        z.u8(last ? 1 : 0);
        z.u16le(static_cast<unsigned>(n));
        z.u16le(static_cast<unsigned>(~n & 0xFFFF));
        z.append(Bytes(raw.begin() + static_cast<std::ptrdiff_t>(at),
                       raw.begin() + static_cast<std::ptrdiff_t>(at + n)));
        at += n;
    } while (at < raw.size());
    z.u32be(adler32(raw.data(), raw.size()));
    return z.take();
}

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

Bytes encodePng(const Canvas& canvas) {
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(canvas.height()) *
                (1 + 4 * static_cast<std::size_t>(canvas.width())));
    for (int y = 0; y < canvas.height(); ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba& c = canvas.at(x, y);
            const std::uint8_t alpha = channelByte(c.a);
            // Fully transparent pixels carry no colour, so they all look alike.
            raw.push_back(alpha == 0 ? 0 : channelByte(c.r));
            raw.push_back(alpha == 0 ? 0 : channelByte(c.g));
            raw.push_back(alpha == 0 ? 0 : channelByte(c.b));
            raw.push_back(alpha);
        }
    }

    ByteBuffer header;
    header.u32be(static_cast<std::uint32_t>(canvas.width()));
    header.u32be(static_cast<std::uint32_t>(canvas.height()));
    header.u8(8); // bits per channel
    header.u8(6); // colour type: true colour with alpha
    header.u8(0); // compression: deflate
    header.u8(0); // filter method
    header.u8(0); // no interlace

    ByteBuffer png;
    png.append(Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    appendChunk(png, "IHDR", header.bytes());
    appendChunk(png, "IDAT", storedZlib(raw));
    appendChunk(png, "IEND", {});
    return png.take();
}

} // namespace quillmark::artwork
