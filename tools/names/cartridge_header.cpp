#include "cartridge_header.h"

#include <utility>

namespace quillmark {

std::string cartridgeHeader(std::string_view internalName, const std::array<std::uint8_t, 4>& crc1,
                            const std::array<std::uint8_t, 4>& crc2, std::uint8_t country,
                            bool byteSwapped) {
    std::string header(64, '\0');
    const char magic[] = {'\x80', '\x37', '\x12', '\x40'};
    header.replace(0, 4, magic, 4);
    for (std::size_t i = 0; i < 4; ++i) {
        header[0x10 + i] = static_cast<char>(crc1[i]);
        header[0x14 + i] = static_cast<char>(crc2[i]);
    }
    std::string name(internalName.substr(0, 20));
    name.resize(20, ' ');
    header.replace(0x20, 20, name);
    header[0x3B] = 'N';
    header[0x3C] = 'Q';
    header[0x3D] = 'M';
    header[0x3E] = static_cast<char>(country);
    if (byteSwapped) {
        for (std::size_t i = 0; i < header.size(); i += 2) {
            std::swap(header[i], header[i + 1]);
        }
    }
    return header;
}

std::string cartridgeHeader(const FactsRow& row, bool byteSwapped) {
    return cartridgeHeader(row.internalName, row.crc1, row.crc2, row.country, byteSwapped);
}

} // namespace quillmark
