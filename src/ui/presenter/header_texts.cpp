#include "header_texts.h"

#include "romid/country.h"
#include "romid/header_text.h"

namespace quillmark {

namespace {

struct CountryRow {
    char letter;
    std::string_view display;
    std::string_view batchSuffix; // "" where the batch run writes what a single file gets
};

constexpr CountryRow kNamedCountries[] = {
    {'D', "D = Europe, Germany (Pal)", " (Euro - Deutschland)"},
    {'E', "E = USA (NTSC)", ""},
    {'F', "F = Europe, Frankreich (Pal)", " (Euro - Frankreich)"},
    {'I', "I = Europe, Italien (Pal)", " (Euro - Italien)"},
    {'J', "J = Japan", ""},
    {'P', "P = Europe (PAL)", ""},
    {'U', "U = Australia (PAL)", " (Australien)"},
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

std::string_view formatText(RomFormat format) {
    switch (format) {
    case RomFormat::Z64:
        return "N64 Rom, not byteswapped (Mr.Backup Z64 Format)";
    case RomFormat::V64:
        return "N64 Rom, byteswapped (Dr. V64 Format)";
    case RomFormat::N64:
        return "N64 Rom, little-endian (.n64 Format)";
    case RomFormat::NotRom:
        break;
    }
    return "This is no N64 ROM Image !";
}

std::string fileTypeText(RomFormat format, std::optional<ArchiveKind> archive) {
    std::string text(formatText(format));
    if (archive && format != RomFormat::NotRom) {
        text += *archive == ArchiveKind::Zip ? " in a ZIP archive" : " in a 7z archive";
    }
    return text;
}

std::string countryDisplayText(std::uint8_t country) {
    if (const CountryRow* row = namedCountry(country)) {
        return std::string(row->display);
    }
    if (country >= 'A' && country <= 'Z') {
        return std::string(1, static_cast<char>(country)) + " = ?";
    }
    return "Hex " + hexText(country) + "   = ?";
}

std::string batchCountrySuffix(std::uint8_t country) {
    const CountryRow* row = namedCountry(country);
    return row != nullptr && !row->batchSuffix.empty() ? std::string(row->batchSuffix)
                                                       : countrySuffix(country);
}

} // namespace quillmark
