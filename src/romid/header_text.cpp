#include "header_text.h"

namespace quillmark {

std::string hexText(std::uint8_t byte) {
    constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    if (byte >= 0x10) {
        text += digits[byte >> 4];
    }
    text += digits[byte & 0x0F];
    return text;
}

} // namespace quillmark
