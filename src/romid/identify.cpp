#include "identify.h"

#include "romid/demo_table.h"
#include "romid/file_name.h"
#include "romid/rom_header.h"

namespace quillmark {

namespace {

// Spaces, tabs and no-break spaces (UTF-8) only.
bool isBlankTitle(std::string_view title) {
    for (std::size_t i = 0; i < title.size(); ++i) {
        if (title.substr(i, 2) == "\xC2\xA0") {
            ++i;
        } else if (title[i] != ' ' && title[i] != '\t') {
            return false;
        }
    }
    return true;
}

} // namespace

RomFormat readHeaderAndSuffix(RomIdentity& identity, SuffixSet suffixes) {
    return interpretHeaderAndSuffix(readHeaderBytes(identity.romFilePath), identity, suffixes);
}

RomFormat interpretHeaderAndSuffix(const HeaderBytes& header, RomIdentity& identity,
                                   SuffixSet suffixes) {
    const RomFormat format = interpretHeader(header, identity);
    if (format != RomFormat::NotRom) {
        identity.countrySuffix = countrySuffix(identity.headerBytes[kCountryByteIndex], suffixes);
    }
    return format;
}

TitleSource findTitle(RomIdentity& identity, NameList& list) {
    const DemoResult demo = lookUpDemo(identity.internalName, identity.crc1Text);
    bool listRead = true;
    try {
        list.refresh();
    } catch (const FileFailure&) {
        // The table's names never needed the list: its failure cannot matter to them.
        if (demo.outcome == DemoLookup::NotInTable) {
            throw;
        }
        listRead = false;
    }
    TitleSource source = TitleSource::None;
    if (listRead && list.titleByDump(identity)) {
        source = TitleSource::NameList;
    } else if (demo.outcome == DemoLookup::Title) {
        identity.fullTitle = demo.title;
        source = TitleSource::DemoTable;
    } else if (demo.outcome == DemoLookup::NotInTable && list.titleByInternalName(identity)) {
        source = TitleSource::NameList;
    }
    // A record without a title (empty, or blanks only) names no file: it
    // would give one whose name starts with its country suffix.
    if (source == TitleSource::NameList && isBlankTitle(identity.fullTitle)) {
        source = TitleSource::None;
    }
    if (source != TitleSource::None) {
        identity.newFileName = composeFileName(identity.fullTitle, identity.countrySuffix);
    }
    return source;
}

Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style, NameList& list) {
    Identification result;
    identity.newFileName.clear();
    identity.pathSeparator = pathSeparatorFor(folder);
    identity.romFilePath = joinPath(folder, fileName);
    try {
        result.format = readHeaderAndSuffix(identity, SuffixSet::SingleFile);
        result.headerRead = true;
        if (result.format == RomFormat::NotRom) {
            return result;
        }
        identity.countryText = countryDisplayText(identity.headerBytes[kCountryByteIndex]);
        result.titleFound = findTitle(identity, list) != TitleSource::None;
        result.renameOffered = settleNewFileName(identity, style);
    } catch (const FileFailure& failure) {
        result.failure = failure;
    }
    return result;
}

Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style,
                            const std::string& listPath) {
    NameList list(listPath);
    return identifyFile(identity, folder, fileName, style, list);
}

} // namespace quillmark
