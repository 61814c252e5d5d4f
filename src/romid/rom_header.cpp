#include "rom_header.h"

#include "romid/header_layout.h"

#include <algorithm>

namespace quillmark {

std::size_t offsetMask(ByteOrder order) {
    switch (order) {
    case ByteOrder::Z64:
        return 0;
    case ByteOrder::V64:
        return 1;
    case ByteOrder::N64:
        break;
    }
    return 3;
}

namespace {

std::uint8_t cartridgeByte(const HeaderBytes& header, std::size_t offset, std::size_t mask) {
    return header.bytes[offset ^ mask];
}

// The big-endian word at cartridge offset `offset`.
std::uint32_t cartridgeWord(const HeaderBytes& header, std::size_t offset, std::size_t mask) {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        word = word << 8 | cartridgeByte(header, offset + i, mask);
    }
    return word;
}

bool hasMagic(const HeaderBytes& header, std::size_t mask) {
    for (std::size_t i = 0; i < kCartridgeMagic.size(); ++i) {
        if (cartridgeByte(header, i, mask) != kCartridgeMagic[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<RomHeader> parseRomHeader(const HeaderBytes& header) {
    RomHeader rom;
    const auto found =
        std::find_if(kByteOrders.begin(), kByteOrders.end(),
                     [&header](ByteOrder order) { return hasMagic(header, offsetMask(order)); });
    if (found == kByteOrders.end()) {
        return std::nullopt;
    }
    rom.order = *found;
    const std::size_t mask = offsetMask(rom.order);
    rom.crc1 = cartridgeWord(header, kCrc1Offset, mask);
    rom.crc2 = cartridgeWord(header, kCrc2Offset, mask);
    rom.internalName.resize(kNameLength);
    for (std::size_t i = 0; i < kNameLength; ++i) {
        rom.internalName[i] = static_cast<char>(cartridgeByte(header, kNameOffset + i, mask));
    }
    rom.manufacturer = cartridgeByte(header, kManufacturerOffset, mask);
    rom.cardId = {cartridgeByte(header, kCardIdOffset, mask),
                  cartridgeByte(header, kCardIdOffset + 1, mask)};
    rom.country = cartridgeByte(header, kCountryOffset, mask);
    return rom;
}

} // namespace quillmark
