#include "file_name.h"

namespace quillmark {

std::string composeFileName(std::string_view fullTitle, std::string_view countrySuffix,
                            std::string_view extension) {
    std::string name;
    name.reserve(fullTitle.size() + countrySuffix.size() + extension.size());
    name += fullTitle;
    name += countrySuffix;
    name += extension;
    return name;
}

std::string_view extensionFor(ByteOrder order, ExtensionRule rule,
                              std::optional<ArchiveKind> archive) {
    if (archive) {
        return archiveExtension(*archive);
    }
    if (rule == ExtensionRule::ByteOrder && order == ByteOrder::Z64) {
        return ".z64";
    }
    if (rule == ExtensionRule::ByteOrder && order == ByteOrder::N64) {
        return ".n64";
    }
    return kRomExtension;
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

ProposedName proposeName(const RomHeader& rom, const TitleLookup& title, const NamingRule& rule,
                         std::optional<ArchiveKind> archive) {
    ProposedName proposed;
    if (!rom.hasInternalName()) {
        proposed.kind = NameKind::NoInternalName;
    } else if (title.source != TitleSource::None) {
        proposed.kind = NameKind::Name;
        proposed.name = composeFileName(title.title, rule.suffix(rom.country),
                                        extensionFor(rom.order, rule.extension, archive));
        if (rule.style == NamingStyle::UltraHle) {
            proposed.name = ultraHleName(proposed.name);
        }
    }
    return proposed;
}

} // namespace quillmark
