#include "rom_header.h"

#include "romid/header_text.h"

namespace quillmark {

namespace {

constexpr std::string_view kZ64Magic = "80371240";
constexpr std::string_view kV64Magic = "37804012";

// File offsets of the header fields (Z64 order).
constexpr std::size_t kCrc1Offset = 0x10;
constexpr std::size_t kCrc2Offset = 0x14;
constexpr std::size_t kNameOffset = 0x20;
constexpr std::size_t kNameLength = 20;
constexpr std::size_t kManufacturerOffset = 0x3B;
constexpr std::size_t kCardIdOffset = 0x3C;
constexpr std::size_t kCountryOffset = 0x3E;

std::string joinHex(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return hexText(a) + hexText(b) + hexText(c) + hexText(d);
}

// In V64 order every pair of bytes is exchanged: the byte at offset o is found at o ^ 1.
std::size_t cartridgeOffset(std::size_t offset, bool swapped) {
    return swapped ? offset ^ 1 : offset;
}

// The big-endian word at cartridge offset `offset`.
std::uint32_t cartridgeWord(const HeaderBytes& header, std::size_t offset, bool swapped) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        word = word << 8 | header.bytes[cartridgeOffset(offset + i, swapped)];
    }
    return word;
}

} // namespace

RomFormat interpretHeader(const HeaderBytes& header, RomIdentity& identity) {
    const auto& b = header.bytes;
    auto& h = identity.headerBytes;
    identity.fileStamp = header.stamp;
    for (std::size_t i = 0; i < 4; ++i) {
        h[i] = b[i];
        h[4 + i] = b[kCrc1Offset + i];
    }
    identity.magicText = joinHex(h[0], h[1], h[2], h[3]);
    RomFormat format;
    if (identity.magicText == kZ64Magic) {
        format = RomFormat::Z64;
    } else if (identity.magicText == kV64Magic) {
        format = RomFormat::V64;
    } else {
        return RomFormat::NotRom;
    }
    const bool swapped = format == RomFormat::V64;
    identity.byteSwapped = swapped;
    identity.crc1Text = swapped ? joinHex(h[5], h[4], h[7], h[6]) : joinHex(h[4], h[5], h[6], h[7]);
    identity.crc1 = cartridgeWord(header, kCrc1Offset, swapped);
    identity.crc2 = cartridgeWord(header, kCrc2Offset, swapped);

    // headerBytes 8–27 keep file order; the pairs are exchanged as the text is built.
    std::string name(kNameLength, '\0');
    for (std::size_t i = 0; i < kNameLength; ++i) {
        h[8 + i] = b[kNameOffset + i];
    }
    for (std::size_t i = 0; i < kNameLength; ++i) {
        name[i] = static_cast<char>(h[8 + cartridgeOffset(i, swapped)]);
    }
    identity.internalName = std::move(name);

    // headerBytes 28–31 are taken from the exchanged positions, so they hold cartridge order.
    h[28] = b[cartridgeOffset(kManufacturerOffset, swapped)];
    h[29] = b[cartridgeOffset(kCardIdOffset, swapped)];
    h[30] = b[cartridgeOffset(kCardIdOffset + 1, swapped)];
    h[kCountryByteIndex] = b[cartridgeOffset(kCountryOffset, swapped)];

    identity.manufacturerName = h[28] == 0x4E ? "= Nintendo" : "";
    identity.manufacturerText = std::string(1, static_cast<char>(h[28])) + " (Hex " +
                                hexText(h[28]) + ") " + identity.manufacturerName;
    identity.cardIdText = std::string(1, static_cast<char>(h[29])) +
                          std::string(1, static_cast<char>(h[30])) + ", Hex " + hexText(h[29]) +
                          " " + hexText(h[30]);
    return format;
}

RomFormat readRomHeader(const std::string& path, RomIdentity& identity) {
    return interpretHeader(readHeaderBytes(path), identity);
}

std::string_view formatText(RomFormat format) {
    switch (format) {
    case RomFormat::Z64:
        return "N64 Rom, not byteswapped (Mr.Backup Z64 Format)";
    case RomFormat::V64:
        return "N64 Rom, byteswapped (Dr. V64 Format)";
    case RomFormat::NotRom:
        break;
    }
    return "This is no N64 ROM Image !";
}

} // namespace quillmark
