#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The two encodings of the program's texts: header bytes and the name list
// are Windows-1252, file names and the window's texts UTF-8. The list's
// generator writes titles with the same table the program reads them with.

namespace quillmark {

// The character of a byte in Windows-1252, as a Unicode code point. The five
// unassigned bytes keep their C1 code; a zero byte gives NUL, which stays in a
// text like any other character.
char32_t byteChar(std::uint8_t byte);

// The Windows-1252 byte that holds `c`, or -1. The C1 codes are no
// characters: the unassigned bytes are never written for them.
int windows1252Byte(char32_t c);

// A Windows-1252 text (a header field, a name-list title) as UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);

// Appends `c` (at most U+10FFFF) in UTF-8.
void appendUtf8(std::string& out, char32_t c);

// The bytes `c` takes in UTF-8.
std::size_t utf8Length(char32_t c);

// The code points of a UTF-8 text; nothing when it is not valid UTF-8
// (a stray or truncated sequence, an overlong form, a surrogate, beyond U+10FFFF).
std::optional<std::u32string> decodeUtf8(std::string_view text);

} // namespace quillmark
