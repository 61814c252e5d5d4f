#pragma once

#include "fsys/header_bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// How an image stores the cartridge's bytes: as the cartridge holds them
// (Z64), with every pair of bytes exchanged (V64), or with every 32-bit word
// reversed, little-endian (N64).
enum class ByteOrder { Z64, V64, N64 };

// Every byte order, in the order a header's magic is tried.
inline constexpr std::array<ByteOrder, 3> kByteOrders = {ByteOrder::Z64, ByteOrder::V64,
                                                         ByteOrder::N64};

// The byte at cartridge offset o lies at file offset o ^ offsetMask(order):
// exchanged pairs flip the lowest bit, reversed words the lowest two.
std::size_t offsetMask(ByteOrder order);

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
// four bytes must be the magic in one of the three byte orders.
std::optional<RomHeader> parseRomHeader(const HeaderBytes& header);

} // namespace quillmark
