#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

// A byte as upper-case hex without a leading zero: 0x00 → "0", 0x08 → "8".
std::string hexText(std::uint8_t byte);

// The character of a byte in Windows-1252, as a Unicode code point. A zero
// byte gives NUL, which stays in a text like any other character.
char32_t byteChar(std::uint8_t byte);

// A byte text (header field, name-list key) as UTF-8 for display, through
// byteChar.
std::string displayText(std::string_view bytes);

// A Windows-1252 text (a name-list title) as UTF-8, the file-name encoding.
inline std::string windows1252ToUtf8(std::string_view bytes) {
    return displayText(bytes);
}

} // namespace quillmark
