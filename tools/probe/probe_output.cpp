#include "probe_output.h"

namespace quillmark {

void printField(std::ostream& out, std::string_view name, std::string_view value) {
    constexpr char digits[] = "0123456789ABCDEF";
    out << name << '=';
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || byte == '\\') {
            out << "\\x" << digits[byte >> 4] << digits[byte & 0x0F];
        } else {
            out << c;
        }
    }
    out << '\n';
}

void printField(std::ostream& out, std::string_view name, bool value) {
    out << name << '=' << (value ? "true" : "false") << '\n';
}

void printField(std::ostream& out, std::string_view name, std::int64_t value) {
    out << name << '=' << value << '\n';
}

} // namespace quillmark
