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

NameMarker settleMarker(RomIdentity& identity) {
    const bool noInternalName = !identity.internalName.empty() && identity.internalName[0] == '\0';
    if (identity.newFileName.empty() && !noInternalName) {
        identity.romUnknown = true;
        identity.newFileName = kRomUnknownMarker;
        return NameMarker::RomUnknown;
    }
    if (noInternalName) {
        identity.romUnknown = true;
        identity.newFileName = kNoInternalNameMarker;
        return NameMarker::NoInternalName;
    }
    identity.romUnknown = false;
    return NameMarker::None;
}

void applyNamingStyle(RomIdentity& identity, NamingStyle style) {
    if (style == NamingStyle::UltraHle) {
        identity.newFileName = ultraHleName(identity.newFileName);
    }
}

bool settleNewFileName(RomIdentity& identity, NamingStyle style) {
    settleMarker(identity);
    applyNamingStyle(identity, style);
    return !identity.romUnknown;
}

} // namespace quillmark
