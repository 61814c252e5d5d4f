#include "rom_image.h"

#include "romid/header_layout.h"

#include <algorithm>

namespace quillmark::kit {

std::string romImage(const RomFields& fields, ByteOrder order, std::size_t size) {
    // Whole words, so that every byte has its place in any byte order.
    std::string image((std::max<std::size_t>(size, 64) + 3) / 4 * 4, '\0');
    const auto put = [&image](std::size_t offset, const auto& bytes) {
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    put(0, kCartridgeMagic);
    put(kCrc1Offset, fields.crc1);
    put(kCrc2Offset, fields.crc2);
    std::string name = fields.internalName.substr(0, kNameLength);
    name.resize(kNameLength, ' ');
    put(kNameOffset, name);
    image[kManufacturerOffset] = static_cast<char>(fields.manufacturer);
    put(kCardIdOffset, fields.cardId);
    image[kCountryOffset] = static_cast<char>(fields.country);
    std::string file(image.size(), '\0');
    for (std::size_t i = 0; i < image.size(); ++i) {
        file[i ^ offsetMask(order)] = image[i];
    }
    file.resize(size);
    return file;
}

} // namespace quillmark::kit
