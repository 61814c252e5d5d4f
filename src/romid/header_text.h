#pragma once

#include "romid/text_encoding.h" // byteChar and windows1252ToUtf8, for the texts shown

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// A byte as upper-case hex without a leading zero: 0x00 → "0", 0x08 → "8".
std::string hexText(std::uint8_t byte);

// The value of one hex digit of either case, or -1 for any other character.
int hexDigitValue(char c);

// A byte text (header field, name-list key) as UTF-8 for display, through
// byteChar.
inline std::string displayText(std::string_view bytes) {
    return windows1252ToUtf8(bytes);
}

} // namespace quillmark
