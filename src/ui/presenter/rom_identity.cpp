#include "rom_identity.h"

#include "fsys/paths.h"
#include "romid/country.h"
#include "romid/header_layout.h"
#include "romid/header_text.h"
#include "ui/presenter/header_texts.h"

namespace quillmark {

namespace {

std::string joinHex(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
    return hexText(a) + hexText(b) + hexText(c) + hexText(d);
}

std::uint8_t byteOf(std::uint32_t word, int index) {
    return static_cast<std::uint8_t>(word >> (8 * (3 - index)));
}

std::string styled(std::string_view name, NamingStyle style) {
    return style == NamingStyle::UltraHle ? ultraHleName(name) : std::string(name);
}

} // namespace

RomFormat recordHeader(const HeaderBytes& header, const std::optional<RomHeader>& rom,
                       RomIdentity& identity) {
    const auto& b = header.bytes;
    auto& h = identity.headerBytes;
    identity.fileStamp = header.stamp;
    for (std::size_t i = 0; i < 4; ++i) {
        h[i] = b[i];
        h[4 + i] = b[kCrc1Offset + i];
    }
    identity.magicText = joinHex(h[0], h[1], h[2], h[3]);
    if (!rom) {
        return RomFormat::NotRom;
    }
    identity.byteSwapped = rom->order != ByteOrder::Z64;
    identity.crc1 = rom->crc1;
    identity.crc2 = rom->crc2;
    identity.crc1Text = joinHex(byteOf(rom->crc1, 0), byteOf(rom->crc1, 1), byteOf(rom->crc1, 2),
                                byteOf(rom->crc1, 3));
    // headerBytes 8–27 keep file order; 28–31 hold cartridge order.
    for (std::size_t i = 0; i < kNameLength; ++i) {
        h[8 + i] = b[kNameOffset + i];
    }
    identity.internalName = rom->internalName;
    h[28] = rom->manufacturer;
    h[29] = rom->cardId[0];
    h[30] = rom->cardId[1];
    h[kCountryByteIndex] = rom->country;

    identity.manufacturerName = h[28] == 0x4E ? "= Nintendo" : "";
    identity.manufacturerText = std::string(1, static_cast<char>(h[28])) + " (Hex " +
                                hexText(h[28]) + ") " + identity.manufacturerName;
    identity.cardIdText = std::string(1, static_cast<char>(h[29])) +
                          std::string(1, static_cast<char>(h[30])) + ", Hex " + hexText(h[29]) +
                          " " + hexText(h[30]);
    switch (rom->order) {
    case ByteOrder::Z64:
        return RomFormat::Z64;
    case ByteOrder::V64:
        return RomFormat::V64;
    case ByteOrder::N64:
        break;
    }
    return RomFormat::N64;
}

void recordTitle(const TitleLookup& title, RomIdentity& identity) {
    if (title.record != nullptr) {
        identity.listKey = title.record->key;
        identity.fullTitle = title.record->title;
    }
    if (title.source == TitleSource::DemoTable) {
        identity.fullTitle = title.title;
    }
}

std::string shownName(const ProposedName& name, NamingStyle style) {
    switch (name.kind) {
    case NameKind::Name:
        return name.name;
    case NameKind::Unknown:
        return styled(kRomUnknownMarker, style);
    case NameKind::NoInternalName:
        break;
    }
    return styled(kNoInternalNameMarker, style);
}

void recordName(const ProposedName& name, NamingStyle style, RomIdentity& identity) {
    identity.romUnknown = name.kind != NameKind::Name;
    identity.newFileName = shownName(name, style);
}

Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style, NameList& list) {
    Identification result;
    identity.newFileName.clear();
    identity.pathSeparator = pathSeparatorFor(folder);
    identity.romFilePath = joinPath(folder, fileName);
    const FileIdentification found =
        identifyFile(identity.romFilePath, list, NamingRule{style, countrySuffix});
    result.failure = found.failure;
    if (!found.header) {
        return result;
    }
    result.headerRead = true;
    result.format = recordHeader(*found.header, found.rom, identity);
    if (!found.rom) {
        return result;
    }
    if (found.archive) {
        result.archive = found.archive->kind;
    }
    identity.countrySuffix = countrySuffix(found.rom->country);
    identity.countryText = countryDisplayText(found.rom->country);
    if (!found.title) {
        return result;
    }
    recordTitle(*found.title, identity);
    result.titleFound = found.title->source != TitleSource::None;
    identity.nameExtension = extensionFor(found.rom->order, ExtensionRule::V64, result.archive);
    recordName(*found.name, style, identity);
    result.renameOffered = !identity.romUnknown;
    return result;
}

} // namespace quillmark
