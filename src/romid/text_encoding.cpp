#include "text_encoding.h"

namespace quillmark {

namespace {

// Windows-1252 0x80–0x9F; the five unassigned positions keep their C1 code.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

char32_t byteChar(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return kHighControls[byte - 0x80];
    }
    return byte;
}

int windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    if (c <= 0x9F) {
        return -1;
    }
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        if (kHighControls[byte - 0x80] == c) {
            return byte;
        }
    }
    return -1;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        appendUtf8(out, byteChar(static_cast<std::uint8_t>(c)));
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    const std::size_t length = utf8Length(c);
    if (length == 1) {
        out += static_cast<char>(c);
        return;
    }
    constexpr std::uint8_t kLeads[5] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeads[length] | (c >> (6 * (length - 1))));
    for (std::size_t k = length - 1; k-- > 0;) {
        out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    }
}

std::size_t utf8Length(char32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        std::size_t extra = 0;
        char32_t c = lead;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            c = lead & 0x07;
        } else if (lead >= 0x80) {
            return std::nullopt;
        }
        if (text.size() - i <= extra) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            c = (c << 6) | (next & 0x3F);
        }
        // An overlong form is one a shorter sequence could have held.
        if (utf8Length(c) != extra + 1 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return std::nullopt;
        }
        out += c;
        i += 1 + extra;
    }
    return out;
}

} // namespace quillmark
