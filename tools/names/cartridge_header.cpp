#include "cartridge_header.h"

#include "kit/rom_image.h"

namespace quillmark {

std::string cartridgeHeader(std::string_view internalName, const std::array<std::uint8_t, 4>& crc1,
                            const std::array<std::uint8_t, 4>& crc2, std::uint8_t country,
                            bool byteSwapped) {
    return kit::romImage({crc1, crc2, std::string(internalName), 'N', {'Q', 'M'}, country},
                         byteSwapped ? ByteOrder::V64 : ByteOrder::Z64);
}

std::string cartridgeHeader(const FactsRow& row, bool byteSwapped) {
    return cartridgeHeader(row.internalName, row.crc1, row.crc2, row.country, byteSwapped);
}

} // namespace quillmark
