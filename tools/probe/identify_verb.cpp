#include "probe_output.h"
#include "probe_verbs.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/rom_identity.h"

#include <iostream>

namespace quillmark {

namespace {

std::string_view verdictName(RomFormat format) {
    switch (format) {
    case RomFormat::Z64:
        return "Z64";
    case RomFormat::V64:
        return "V64";
    case RomFormat::N64:
        return "N64";
    case RomFormat::NotRom:
        break;
    }
    return "NotRom";
}

} // namespace

// The identification fields, in the order tools and tests read them.
void printIdentification(std::ostream& out, const RomIdentity& identity,
                         const Identification& result) {
    printField(out, "verdict", result.headerRead ? verdictName(result.format) : "");
    printField(out, "formatText",
               result.headerRead ? fileTypeText(result.format, result.archive) : "");
    printField(out, "magicText", identity.magicText);
    printField(out, "crc1Text", identity.crc1Text);
    printField(out, "internalName", identity.internalName);
    printField(out, "manufacturerText", identity.manufacturerText);
    printField(out, "cardIdText", identity.cardIdText);
    printField(out, "countryText", identity.countryText);
    printField(out, "countrySuffix", identity.countrySuffix);
    printField(out, "fullTitle", identity.fullTitle);
    printField(out, "newFileName", identity.newFileName);
    printField(out, "romUnknown", identity.romUnknown);
    printField(out, "renameOffered", result.renameOffered);
}

std::int32_t failureNumber(const Identification& result) {
    return result.failure ? result.failure->number() : 0;
}

int identifyVerb(const std::vector<std::string>& args, NamingStyle style) {
    if (args.size() != 2) {
        return kProbeUsageError;
    }
    RomIdentity identity;
    NameList names;
    const Identification result = identifyFile(identity, args[0], args[1], style, names);
    printIdentification(std::cout, identity, result);
    printField(std::cout, "failureCode", failureNumber(result));
    return 0;
}

} // namespace quillmark
