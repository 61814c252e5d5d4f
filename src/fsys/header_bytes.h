#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quillmark {

inline constexpr std::size_t kHeaderSize = 64;

// The first 64 bytes of a file. Bytes past the end of a short file are 0x00,
// never left over from an earlier file.
struct HeaderBytes {
    std::array<std::uint8_t, kHeaderSize> bytes{};
    std::size_t length = 0;   // bytes actually in the file (at most 64)
    bool regularFile = false; // false: a FIFO, socket or device; never read
    std::uint64_t device = 0; // which file was read: whatever name led to it
    std::uint64_t inode = 0;
};

} // namespace quillmark
