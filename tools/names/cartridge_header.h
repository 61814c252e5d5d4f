#pragma once

#include "facts_table.h"
#include "romid/rom_header.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// The 64 header bytes of a cartridge image: magic, CRC1, CRC2, the internal
// name (padded with spaces to 20 bytes, or cut), manufacturer "N", card ID
// "QM" and the country byte; everything else zero; in the given byte order.
std::string cartridgeHeader(std::string_view internalName, const std::array<std::uint8_t, 4>& crc1,
                            const std::array<std::uint8_t, 4>& crc2, std::uint8_t country,
                            ByteOrder order);

// The same, made from a facts row.
std::string cartridgeHeader(const FactsRow& row, ByteOrder order);

} // namespace quillmark
