#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillmark {

// Where the fields of a cartridge header lie, as offsets into an image in the
// cartridge's own (Z64) byte order. Every reader and writer of headers uses
// these, the test kit and the list generator included.
inline constexpr std::size_t kCrc1Offset = 0x10;
inline constexpr std::size_t kCrc2Offset = 0x14;
inline constexpr std::size_t kNameOffset = 0x20;
inline constexpr std::size_t kNameLength = 20;
inline constexpr std::size_t kManufacturerOffset = 0x3B;
inline constexpr std::size_t kCardIdOffset = 0x3C;
inline constexpr std::size_t kCountryOffset = 0x3E;

// The first four bytes of an image in cartridge order.
inline constexpr std::array<std::uint8_t, 4> kCartridgeMagic = {0x80, 0x37, 0x12, 0x40};

} // namespace quillmark
