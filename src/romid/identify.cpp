#include "identify.h"

#include "fsys/rename_file.h"
#include "romid/country.h"
#include "romid/demo_table.h"
#include "romid/file_name.h"
#include "romid/rom_header.h"

namespace quillmark {

std::string pathSeparatorFor(std::string_view folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return {};
    }
    return std::string(1, kPathSeparator);
}

Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style,
                            const std::string& listPath) {
    Identification result;
    identity.newFileName.clear();
    identity.pathSeparator = pathSeparatorFor(folder);
    identity.romFilePath = folder + identity.pathSeparator + fileName;
    try {
        result.format = readRomHeader(identity.romFilePath, identity);
        result.headerRead = true;
        if (result.format == RomFormat::NotRom) {
            return result;
        }
        const std::uint8_t country = identity.headerBytes[kCountryByteIndex];
        identity.countryText = countryDisplayText(country);
        identity.countrySuffix = countrySuffix(country, SuffixSet::SingleFile);

        const DemoResult demo = lookUpDemo(identity.internalName, identity.crc1Text);
        if (demo.outcome == DemoLookup::Title) {
            identity.fullTitle = demo.title;
            result.titleFound = true;
        } else if (demo.outcome == DemoLookup::NotInTable) {
            result.titleFound = lookUpTitle(identity, listPath);
        }
        if (result.titleFound) {
            identity.newFileName = composeFileName(identity.fullTitle, identity.countrySuffix);
        }
        result.renameOffered = settleNewFileName(identity, style);
    } catch (const FileFailure& failure) {
        result.failure = failure;
    }
    return result;
}

} // namespace quillmark
