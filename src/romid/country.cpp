#include "country.h"

#include "romid/header_text.h"

#include <string_view>

namespace quillmark {

namespace {

struct CountryRow {
    char letter;
    std::string_view display;
    std::string_view singleFileSuffix;
    std::string_view batchSuffix;
};

constexpr CountryRow kNamedCountries[] = {
    {'D', "D = Europe, Germany (Pal)", " (Euro - Germany)", " (Euro - Deutschland)"},
    {'E', "E = USA (NTSC)", " (USA)", " (USA)"},
    {'F', "F = Europe, Frankreich (Pal)", " (Euro - France)", " (Euro - Frankreich)"},
    {'I', "I = Europe, Italien (Pal)", " (Euro - Italy)", " (Euro - Italien)"},
    {'J', "J = Japan", " (JAP)", " (JAP)"},
    {'P', "P = Europe (PAL)", " (Euro)", " (Euro)"},
    {'U', "U = Australia (PAL)", " (Australia)", " (Australien)"},
};

const CountryRow* namedCountry(std::uint8_t country) {
    for (const CountryRow& row : kNamedCountries) {
        if (static_cast<std::uint8_t>(row.letter) == country) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

std::string countryDisplayText(std::uint8_t country) {
    if (const CountryRow* row = namedCountry(country)) {
        return std::string(row->display);
    }
    if (country >= 'A' && country <= 'Z') {
        return std::string(1, static_cast<char>(country)) + " = ?";
    }
    return "Hex " + hexText(country) + "   = ?";
}

std::string countrySuffix(std::uint8_t country, SuffixSet set) {
    const CountryRow* row = namedCountry(country);
    if (row == nullptr) {
        return {};
    }
    return std::string(set == SuffixSet::Batch ? row->batchSuffix : row->singleFileSuffix);
}

} // namespace quillmark
