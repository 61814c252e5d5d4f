#include "rom_header.h"

#include "romid/header_layout.h"

#include <algorithm>

namespace quillmark {

namespace {

// In V64 order every pair of bytes is exchanged: the byte at offset o is found at o ^ 1.
std::size_t fileOffset(std::size_t offset, bool swapped) {
    return swapped ? offset ^ 1 : offset;
}

std::uint8_t cartridgeByte(const HeaderBytes& header, std::size_t offset, bool swapped) {
    return header.bytes[fileOffset(offset, swapped)];
}

// The big-endian word at cartridge offset `offset`.
std::uint32_t cartridgeWord(const HeaderBytes& header, std::size_t offset, bool swapped) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        word = word << 8 | cartridgeByte(header, offset + i, swapped);
    }
    return word;
}

bool hasMagic(const HeaderBytes& header, bool swapped) {
    for (std::size_t i = 0; i < kCartridgeMagic.size(); ++i) {
        if (cartridgeByte(header, i, swapped) != kCartridgeMagic[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<RomHeader> parseRomHeader(const HeaderBytes& header) {
    RomHeader rom;
    if (hasMagic(header, false)) {
        rom.order = ByteOrder::Z64;
    } else if (hasMagic(header, true)) {
        rom.order = ByteOrder::V64;
    } else {
        return std::nullopt;
    }
    const bool swapped = rom.order == ByteOrder::V64;
    rom.crc1 = cartridgeWord(header, kCrc1Offset, swapped);
    rom.crc2 = cartridgeWord(header, kCrc2Offset, swapped);
    rom.internalName.resize(kNameLength);
    for (std::size_t i = 0; i < kNameLength; ++i) {
        rom.internalName[i] = static_cast<char>(cartridgeByte(header, kNameOffset + i, swapped));
    }
    rom.manufacturer = cartridgeByte(header, kManufacturerOffset, swapped);
    rom.cardId = {cartridgeByte(header, kCardIdOffset, swapped),
                  cartridgeByte(header, kCardIdOffset + 1, swapped)};
    rom.country = cartridgeByte(header, kCountryOffset, swapped);
    return rom;
}

} // namespace quillmark
