#pragma once

#include "romid/rom_header.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillmark::kit {

// Header fields of a synthetic ROM image, in cartridge order.
struct RomFields {
    std::array<std::uint8_t, 4> crc1{0x12, 0x34, 0x56, 0x78};
    std::array<std::uint8_t, 4> crc2{};
    std::string internalName = "SYNTHETIC GAME";
    std::uint8_t manufacturer = 'N';
    std::array<std::uint8_t, 2> cardId{'S', 'G'};
    std::uint8_t country = 'E';
};

// The start of an image with these fields in the given byte order, zeros
// elsewhere, `size` bytes long (cut short when less than a header). The
// internal name is padded with spaces, or cut, to 20 bytes. Tests, fuzz
// targets, benchmarks and the name-list tools all make their images here.
std::string romImage(const RomFields& fields, ByteOrder order, std::size_t size = 64);

} // namespace quillmark::kit
