#include "country.h"

#include <string_view>

namespace quillmark {

namespace {

struct CountrySuffix {
    char letter;
    std::string_view suffix;
};

constexpr CountrySuffix kSuffixes[] = {
    {'D', " (Euro - Germany)"}, {'E', " (USA)"}, {'F', " (Euro - France)"},
    {'I', " (Euro - Italy)"},   {'J', " (JAP)"}, {'P', " (Euro)"},
    {'U', " (Australia)"},
};

} // namespace

std::string countrySuffix(std::uint8_t country) {
    for (const CountrySuffix& row : kSuffixes) {
        if (static_cast<std::uint8_t>(row.letter) == country) {
            return std::string(row.suffix);
        }
    }
    return {};
}

} // namespace quillmark
