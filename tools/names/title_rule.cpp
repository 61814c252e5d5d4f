#include "title_rule.h"

#include "romid/text_encoding.h"

#include <cstdint>
#include <optional>
#include <stdexcept>

// The rule, applied in this order: (1) characters Windows-1252 cannot hold get
// a near form or are dropped; controls and unusual spaces become spaces;
// (2) characters that Windows, macOS or Linux refuse in a file name are
// replaced or dropped; (3) spaces are collapsed and trimmed, leading dots
// dropped; (4) Windows device names are defused; (5) the title is cut to
// kMaxTitleBytes. kTitleRuleText below is the same rule in words.

namespace quillmark {

const std::string_view kTitleRuleText =
    "Titles are UTF-8 in the facts file and Windows-1252 in the list. A character that "
    "Windows-1252 cannot hold is written in a near form: a full-width letter, digit or sign "
    "as its ASCII form; a Latin letter with a mark that Windows-1252 lacks as the plain "
    "letter (\"\xC5\x8D\" as \"o\", \"\xC5\x82\" as \"l\"), \"\xC4\xB3\" as \"ij\"; a "
    "combining mark is dropped; the hyphens U+2010 to U+2012, U+2015 and the minus sign as "
    "\"-\"; the prime as \"'\" and the double prime as \"''\". Any other such character is "
    "dropped. Each of these is counted. Control characters and the no-break, ideographic "
    "and other wide spaces become plain spaces.\n"
    "\n"
    "So that title, country suffix and \".v64\" make a valid file name on Linux, Windows "
    "and macOS: a colon followed by a space becomes \" -\" (\"A: B\" gives \"A - B\"), any "
    "other colon \"-\"; \"/\", \"\\\" and \"|\" become \"-\"; \"*\" and \"?\" are dropped; "
    "a double quote becomes \"'\"; \"<\" and \">\" become \"(\" and \")\". Then every run of "
    "spaces becomes one space, spaces at both ends are removed, and so are dots at the start "
    "(such names are hidden on Linux and macOS). A title whose text before its first dot is "
    "a Windows device name (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, in any case) "
    "gets \"_\" right after that name. A title longer than 200 bytes in UTF-8 is cut at a "
    "character boundary and spaces at its end are removed. Dots at the end of a title are "
    "kept, since \".v64\" always follows. A name whose title ends up empty is left out.";

namespace {

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool isWideSpace(char32_t c) {
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// Plain letters for U+0100 to U+017F; the few entries Windows-1252 holds
// itself (Œ œ Š š Ÿ Ž ž) are never used, and '?' marks those handled apart.
constexpr std::string_view kLatinExtendedA = "AaAaAaCcCcCcCcDd"
                                             "DdEeEeEeEeEeGgGg"
                                             "GgGgHhHhIiIiIiIi"
                                             "Ii??JjKkkLlLlLlL"
                                             "lLlNnNnNn?NnOoOo"
                                             "OoOoRrRrRrSsSsSs"
                                             "SsTtTtTtUuUuUuUu"
                                             "UuUuWwYyYZzZzZzs";

struct NearForm {
    char32_t from;
    std::u32string_view to;
};

constexpr NearForm kNearForms[] = {
    {0x0132, U"IJ"}, {0x0133, U"ij"}, {0x0149, U"'n"}, {0x2010, U"-"}, {0x2011, U"-"},
    {0x2012, U"-"},  {0x2015, U"-"},  {0x2212, U"-"},  {0x2032, U"'"}, {0x2033, U"''"},
};

// Step 1: every character becomes one Windows-1252 can hold, or nothing.
std::u32string nearForms(const std::u32string& in, ListTitle& title) {
    std::u32string out;
    for (const char32_t c : in) {
        if (isControl(c) || isWideSpace(c)) {
            out += U' ';
        } else if (windows1252Byte(c) >= 0) {
            out += c;
        } else if (c >= 0x0300 && c <= 0x036F) {
            ++title.transliterated; // combining mark: the letter before it stays
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            out += static_cast<char32_t>(c - 0xFEE0);
            ++title.transliterated;
        } else {
            std::u32string near;
            for (const NearForm& form : kNearForms) {
                if (form.from == c) {
                    near = form.to;
                }
            }
            if (near.empty() && c >= 0x0100 && c <= 0x017F && kLatinExtendedA[c - 0x100] != '?') {
                near = static_cast<char32_t>(kLatinExtendedA[c - 0x100]);
            }
            if (near.empty()) {
                ++title.dropped;
            } else {
                out += near;
                ++title.transliterated;
            }
        }
    }
    return out;
}

// Step 2: the characters file systems refuse.
std::u32string withoutRefusedCharacters(const std::u32string& in) {
    std::u32string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const char32_t c = in[i];
        switch (c) {
        case U':':
            out += (i + 1 < in.size() && in[i + 1] == U' ') ? U" -" : U"-";
            break;
        case U'/':
        case U'\\':
        case U'|':
            out += U'-';
            break;
        case U'*':
        case U'?':
            break;
        case U'"':
            out += U'\'';
            break;
        case U'<':
            out += U'(';
            break;
        case U'>':
            out += U')';
            break;
        default:
            out += c;
        }
    }
    return out;
}

void trimEndSpaces(std::u32string& text) {
    while (!text.empty() && text.back() == U' ') {
        text.pop_back();
    }
}

// Step 3: one space between words, none at the ends, no leading dot.
std::u32string tidySpaces(const std::u32string& in) {
    std::u32string out;
    for (const char32_t c : in) {
        if (c == U' ' && (out.empty() || out.back() == U' ')) {
            continue;
        }
        if (c == U'.' && out.empty()) {
            continue;
        }
        out += c;
    }
    trimEndSpaces(out);
    return out;
}

char32_t upper(char32_t c) {
    return (c >= U'a' && c <= U'z') ? c - 32 : c;
}

bool isDeviceName(std::u32string_view part) {
    constexpr std::u32string_view kPlain[] = {U"CON", U"PRN", U"AUX", U"NUL"};
    std::u32string up;
    for (const char32_t c : part) {
        up += upper(c);
    }
    for (const std::u32string_view name : kPlain) {
        if (up == name) {
            return true;
        }
    }
    if (up.size() == 4 && (up.starts_with(U"COM") || up.starts_with(U"LPT"))) {
        const char32_t digit = up[3];
        return (digit >= U'0' && digit <= U'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// Step 4: Windows takes "CON.anything" for the console device.
void defuseDeviceName(std::u32string& text) {
    std::size_t end = text.find(U'.');
    if (end == std::u32string::npos) {
        end = text.size();
    }
    while (end > 0 && text[end - 1] == U' ') {
        --end;
    }
    if (isDeviceName(std::u32string_view(text).substr(0, end))) {
        text.insert(end, 1, U'_');
    }
}

// Step 5: at most kMaxTitleBytes in UTF-8, cut between characters.
void cutToLength(std::u32string& text) {
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes += utf8Length(text[i]);
        if (bytes > kMaxTitleBytes) {
            text.resize(i);
            trimEndSpaces(text);
            return;
        }
    }
}

} // namespace

ListTitle makeListTitle(std::string_view utf8Title) {
    ListTitle title;
    const std::optional<std::u32string> decoded = decodeUtf8(utf8Title);
    if (!decoded) {
        throw std::invalid_argument("malformed UTF-8");
    }
    std::u32string text = nearForms(*decoded, title);
    text = tidySpaces(withoutRefusedCharacters(text));
    defuseDeviceName(text);
    cutToLength(text);
    for (const char32_t c : text) {
        title.text += static_cast<char>(windows1252Byte(c));
    }
    title.changed = windows1252ToUtf8(title.text) != utf8Title;
    return title;
}

} // namespace quillmark
