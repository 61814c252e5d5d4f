// Runs the identification core without a window, in the current working
// folder (where the name list is read), and prints its results as
// name=value lines. A file failure is a result (exit 0); bad usage exits 2.

#include "probe_output.h"
#include "romid/identify.h"
#include "romid/rom_header.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quillmark;

constexpr int kUsageError = 2;

int usage() {
    std::cerr << "usage: quillmark-probe identify [--ultrahle] FOLDER FILE\n";
    return kUsageError;
}

std::string_view verdictName(RomFormat format) {
    switch (format) {
    case RomFormat::Z64:
        return "Z64";
    case RomFormat::V64:
        return "V64";
    case RomFormat::NotRom:
        break;
    }
    return "NotRom";
}

// The identification fields, in the order tools and tests read them.
void printIdentification(std::ostream& out, const RomIdentity& identity,
                         const Identification& result) {
    printField(out, "verdict", result.headerRead ? verdictName(result.format) : "");
    printField(out, "formatText", result.headerRead ? formatText(result.format) : "");
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
        return usage();
    }
    RomIdentity identity;
    const Identification result = identifyFile(identity, args[0], args[1], style);
    printIdentification(std::cout, identity, result);
    printField(std::cout, "failureCode", failureNumber(result));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string_view verb = argv[1];
    NamingStyle style = NamingStyle::Normal;
    std::vector<std::string> args;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--ultrahle" && args.empty()) {
            style = NamingStyle::UltraHle;
        } else {
            args.emplace_back(arg);
        }
    }
    if (verb == "identify") {
        return identifyVerb(args, style);
    }
    return usage();
}
