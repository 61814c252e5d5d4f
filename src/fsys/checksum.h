#pragma once

#include <cstddef>
#include <cstdint>

namespace quillmark {

// CRC-32 as zip, 7z and the run records use it (reflected, polynomial 0xEDB88320).
std::uint32_t crc32(const void* data, std::size_t size);

} // namespace quillmark
