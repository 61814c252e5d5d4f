#include "rom_image.h"

#include "romid/header_layout.h"

#include <algorithm>
#include <utility>

namespace quillmark::kit {

std::string romImage(const RomFields& fields, ByteOrder order, std::size_t size) {
    std::string image(std::max<std::size_t>(size, 64), '\0');
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
    if (order == ByteOrder::V64) {
        for (std::size_t i = 0; i + 1 < image.size(); i += 2) {
            std::swap(image[i], image[i + 1]);
        }
    }
    image.resize(size);
    return image;
}

} // namespace quillmark::kit
