#include "cartridge_header.h"

#include "kit/rom_image.h"

namespace quillmark {

std::string cartridgeHeader(std::string_view internalName, const std::array<std::uint8_t, 4>& crc1,
                            const std::array<std::uint8_t, 4>& crc2, std::uint8_t country,
                            ByteOrder order) {
    return kit::romImage({crc1, crc2, std::string(internalName), 'N', {'Q', 'M'}, country}, order);
}

std::string cartridgeHeader(const FactsRow& row, ByteOrder order) {
    return cartridgeHeader(row.internalName, row.crc1, row.crc2, row.country, order);
}

} // namespace quillmark
