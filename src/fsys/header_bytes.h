#pragma once

#include "file_stamp.h"

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
    bool regularFile = false; // false: a FIFO, socket, device or passed-over link; never read
    FileStamp stamp;          // which file was read, and its state when it was opened
};

} // namespace quillmark
