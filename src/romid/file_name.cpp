#include "file_name.h"

namespace quillmark {

std::string composeFileName(std::string_view fullTitle, std::string_view countrySuffix) {
    std::string name;
    name.reserve(fullTitle.size() + countrySuffix.size() + kRomExtension.size());
    name += fullTitle;
    name += countrySuffix;
    name += kRomExtension;
    return name;
}

std::string ultraHleName(std::string_view name) {
    std::string result(name);
    for (char& c : result) {
        if (c == ' ') {
            c = '_';
        }
    }
    return result;
}

ProposedName proposeName(const RomHeader& rom, const TitleLookup& title, const NamingRule& rule) {
    ProposedName proposed;
    if (!rom.hasInternalName()) {
        proposed.kind = NameKind::NoInternalName;
    } else if (title.source != TitleSource::None) {
        proposed.kind = NameKind::Name;
        proposed.name = composeFileName(title.title, rule.suffix(rom.country));
        if (rule.style == NamingStyle::UltraHle) {
            proposed.name = ultraHleName(proposed.name);
        }
    }
    return proposed;
}

} // namespace quillmark
