#pragma once

#include "byte_buffer.h"
#include "canvas.h"

#include <cstdint>

namespace quillmark::artwork {

// The checksums PNG and zlib use (CRC-32 of ISO 3309, Adler-32 of RFC 1950).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size);
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

// A true-colour PNG with alpha (8 bits a channel). The image data is kept in
// stored deflate blocks: no compression, so no library is needed.
Bytes encodePng(const Canvas& canvas);

} // namespace quillmark::artwork
