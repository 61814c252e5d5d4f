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

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace quillmark
