#pragma once

#include "fsys/header_bytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// How an image stores the cartridge's bytes: as the cartridge holds them
// (Z64), or with every pair of bytes exchanged (V64).
enum class ByteOrder { Z64, V64 };

// The fields of an N64 cartridge header, in cartridge order whatever the
// file's byte order.
struct RomHeader {
    ByteOrder order = ByteOrder::Z64;
    std::uint32_t crc1 = 0;
    std::uint32_t crc2 = 0;
    std::string internalName; // 20 bytes, as the cartridge holds them
    std::uint8_t manufacturer = 0;
    std::array<std::uint8_t, 2> cardId{};
    std::uint8_t country = 0;

    // Homebrew and some demos leave the name empty: it starts with NUL.
    bool hasInternalName() const { return internalName.empty() || internalName[0] != '\0'; }

    bool operator==(const RomHeader&) const = default;
};

// The header of an N64 ROM image, or nothing for any other file: the first
// four bytes must be the magic in one of the two byte orders.
std::optional<RomHeader> parseRomHeader(const HeaderBytes& header);

} // namespace quillmark
