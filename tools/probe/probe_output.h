#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

namespace quillmark {

// Writes one "name=value" line. Bytes outside 0x20–0x7E and the backslash are
// written as \xHH, so any header or file name comes out on one readable line.
void printField(std::ostream& out, std::string_view name, std::string_view value);
void printField(std::ostream& out, std::string_view name, bool value);
void printField(std::ostream& out, std::string_view name, std::int64_t value);

// Only the int64 overload for integers, so a count never prints as a bool.
inline void printField(std::ostream& out, std::string_view name, std::int32_t value) {
    printField(out, name, static_cast<std::int64_t>(value));
}
inline void printField(std::ostream& out, std::string_view name, const char* value) {
    printField(out, name, std::string_view(value));
}

} // namespace quillmark
