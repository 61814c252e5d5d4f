// The header reader and everything that is derived from a header, fed with
// arbitrary file starts: once from bytes in memory, once through a real file.

#include "fsys/file_failure.h"
#include "fsys/header_file.h"
#include "fuzz_support.h"
#include "romid/country.h"
#include "romid/demo_table.h"
#include "romid/file_name.h"
#include "romid/header_text.h"
#include "romid/rom_header.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/rom_identity.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace quillmark {
namespace {

using fuzz::require;

// The header into the window's record, as the single-file view reads it.
RomFormat interpretHeader(const HeaderBytes& header, RomIdentity& identity) {
    return recordHeader(header, parseRomHeader(header), identity);
}

// An identity left over from an earlier file: every field holds something the
// reader would never write, so a field it touches by mistake shows.
RomIdentity leftOver(bool byteSwapped) {
    RomIdentity identity;
    identity.romFilePath = "earlier/path";
    identity.pathSeparator = "|";
    identity.headerBytes.fill(0xA5);
    identity.magicText = "earlier magic";
    identity.byteSwapped = byteSwapped;
    identity.crc1Text = "earlier crc";
    identity.internalName = "earlier name";
    identity.manufacturerName = "earlier maker";
    identity.manufacturerText = "earlier maker text";
    identity.cardIdText = "earlier card";
    identity.countryText = "earlier country";
    identity.countrySuffix = "earlier suffix";
    identity.listKey = "earlier key";
    identity.fullTitle = "earlier title";
    identity.newFileName = "earlier new name";
    identity.romUnknown = true;
    return identity;
}

// The display text of a byte string is valid UTF-8 with one character per byte.
void requireDisplayable(std::string_view bytes) {
    const std::string shown = displayText(bytes);
    require(fuzz::utf8CodePoints(shown) == static_cast<long>(bytes.size()),
            "displayText gives valid UTF-8, one character per byte");
}

RomFormat expectedFormat(const HeaderBytes& header) {
    const auto& b = header.bytes;
    if (b[0] == 0x80 && b[1] == 0x37 && b[2] == 0x12 && b[3] == 0x40) {
        return RomFormat::Z64;
    }
    if (b[0] == 0x37 && b[1] == 0x80 && b[2] == 0x40 && b[3] == 0x12) {
        return RomFormat::V64;
    }
    if (b[0] == 0x40 && b[1] == 0x12 && b[2] == 0x37 && b[3] == 0x80) {
        return RomFormat::N64;
    }
    return RomFormat::NotRom;
}

void checkNotRom(const HeaderBytes& header, const RomIdentity& before, const RomIdentity& after) {
    RomIdentity expected = before;
    expected.magicText = after.magicText;
    for (std::size_t i = 0; i < 4; ++i) {
        expected.headerBytes[i] = header.bytes[i];
        expected.headerBytes[4 + i] = header.bytes[0x10 + i];
    }
    require(expected == after, "a file that is no ROM changes only magicText and headerBytes 0-7");
    require(after.magicText.size() >= 4 && after.magicText.size() <= 8 &&
                fuzz::isUpperHex(after.magicText),
            "magicText is 4 to 8 upper-case hex digits");
}

void checkRomFields(RomFormat format, const RomIdentity& id) {
    require(id.byteSwapped == (format != RomFormat::Z64),
            "byteSwapped tells an order other than the cartridge's");
    require(id.internalName.size() == 20, "internalName is exactly 20 bytes");
    require(id.crc1Text.size() >= 4 && id.crc1Text.size() <= 8 && fuzz::isUpperHex(id.crc1Text),
            "crc1Text is 4 to 8 upper-case hex digits");
    require(id.manufacturerName.empty() || id.headerBytes[28] == 'N',
            "only the manufacturer N has a name");
    requireDisplayable(id.internalName);
    requireDisplayable(id.manufacturerText);
    requireDisplayable(id.cardIdText);
}

// The header rearranged between cartridge order and `order`: the byte at
// offset o moves to o ^ 1 (V64) or o ^ 3 (N64), which undoes itself.
HeaderBytes rearranged(const HeaderBytes& header, RomFormat order) {
    const std::size_t mask = order == RomFormat::V64 ? 1 : order == RomFormat::N64 ? 3 : 0;
    HeaderBytes out = header;
    for (std::size_t i = 0; i < kHeaderSize; ++i) {
        out.bytes[i ^ mask] = header.bytes[i];
    }
    return out;
}

// The same cartridge in the other byte orders reads the same.
void checkOtherOrder(const HeaderBytes& header, RomFormat format, const RomIdentity& id) {
    const HeaderBytes z64 = rearranged(header, format);
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(z64.bytes[at]) << 24 |
               static_cast<std::uint32_t>(z64.bytes[at + 1]) << 16 |
               static_cast<std::uint32_t>(z64.bytes[at + 2]) << 8 | z64.bytes[at + 3];
    };
    require(id.crc1 == word(0x10) && id.crc2 == word(0x14),
            "CRC1 and CRC2 are the big-endian words at 0x10 and 0x14 in cartridge order");
    for (const RomFormat order : {RomFormat::Z64, RomFormat::V64, RomFormat::N64}) {
        if (order == format) {
            continue;
        }
        RomIdentity other = leftOver(false);
        require(interpretHeader(rearranged(z64, order), other) == order,
                "rearranging the bytes turns one byte order into another");
        require(other.crc1Text == id.crc1Text && other.internalName == id.internalName &&
                    other.manufacturerName == id.manufacturerName &&
                    other.manufacturerText == id.manufacturerText &&
                    other.cardIdText == id.cardIdText && other.crc1 == id.crc1 &&
                    other.crc2 == id.crc2,
                "every byte order of one cartridge gives the same texts and CRCs");
        for (std::size_t i = 28; i < 32; ++i) {
            require(other.headerBytes[i] == id.headerBytes[i],
                    "headerBytes 28-31 hold cartridge order in every byte order");
        }
    }
}

void checkCountry(std::uint8_t country) {
    const std::string text = countryDisplayText(country);
    const bool letter = country >= 'A' && country <= 'Z';
    require(letter ? text.size() >= 5 && static_cast<std::uint8_t>(text[0]) == country &&
                         text.compare(1, 3, " = ") == 0
                   : text == "Hex " + hexText(country) + "   = ?",
            "a country text starts with its letter, or shows the byte in hex");
    require(fuzz::utf8CodePoints(text) >= 0, "the country text is valid UTF-8");
    const std::string single = countrySuffix(country);
    const std::string batch = batchCountrySuffix(country);
    require(single.empty() == batch.empty(), "both suffix columns have the same rows");
    require(single.empty() || (single.starts_with(" (") && single.ends_with(")") &&
                               batch.starts_with(" (") && batch.ends_with(")")),
            "a suffix is a parenthesised word after a space");
    require(!single.empty() || text.ends_with("= ?"), "a country without suffix is unknown");
}

void checkUltraHleStyle(std::string_view name) {
    const std::string styled = ultraHleName(name);
    require(styled.size() == name.size() && styled.find(' ') == std::string::npos,
            "the UltraHLE style keeps the length and leaves no space");
    for (std::size_t i = 0; i < styled.size(); ++i) {
        require(styled[i] == name[i] || (styled[i] == '_' && name[i] == ' '),
                "the UltraHLE style changes spaces only");
    }
}

void checkNaming(const RomIdentity& id, const RomHeader& rom) {
    const DemoResult demo = lookUpDemo(rom.internalName, rom.crc1);
    require((demo.outcome == DemoLookup::NotInTable) != isDemoTableName(id.internalName),
            "the demo table answers for exactly its own names");
    require((demo.outcome == DemoLookup::Title) == !demo.title.empty(),
            "a demo title comes with the Title outcome only");

    // As if the name list had offered the internal name itself as the title.
    const std::string listed = displayText(id.internalName);
    TitleLookup title;
    if (demo.outcome == DemoLookup::Title) {
        title = {TitleSource::DemoTable, demo.title, nullptr};
    } else if (demo.outcome == DemoLookup::NotInTable) {
        title = {TitleSource::NameRecord, listed, nullptr};
    }
    const std::string composed =
        title.source == TitleSource::None ? "" : composeFileName(title.title, id.countrySuffix);
    require(composed.empty() || composed.ends_with(kRomExtension), "a composed name ends in .v64");

    RomIdentity normal = id;
    RomIdentity ultra = id;
    recordName(proposeName(rom, title, {NamingStyle::Normal}), NamingStyle::Normal, normal);
    recordName(proposeName(rom, title, {NamingStyle::UltraHle}), NamingStyle::UltraHle, ultra);
    require(normal.romUnknown == ultra.romUnknown, "both styles offer a rename, or neither does");
    const bool noName = id.internalName[0] == '\0';
    if (noName) {
        require(normal.romUnknown && normal.newFileName == kNoInternalNameMarker,
                "a name starting with NUL gets the no-name marker");
    } else if (composed.empty()) {
        require(normal.romUnknown && normal.newFileName == kRomUnknownMarker,
                "no title gets the unknown marker");
    } else {
        require(!normal.romUnknown && normal.newFileName == composed,
                "a composed name is kept as it is");
    }
    require(ultra.newFileName == ultraHleName(normal.newFileName),
            "the UltraHLE style is applied to the settled name");

    checkUltraHleStyle(normal.newFileName);
    require(fuzz::utf8CodePoints(normal.newFileName) >= 0, "a new file name is valid UTF-8");
}

void checkFileReadsTheSame(const std::uint8_t* data, std::size_t size, bool swappedBefore,
                           RomFormat format, const RomIdentity& fromBytes) {
    const std::string path = fuzz::scratchFolder() + "/image.rom";
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    RomIdentity fromFile = leftOver(swappedBefore);
    RomFormat fileFormat = RomFormat::NotRom;
    try {
        fileFormat = interpretHeader(readHeaderBytes(path), fromFile);
        fromFile.fileStamp = fromBytes.fileStamp; // which file it was is no matter here
    } catch (const FileFailure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        require(false, "a readable regular file is read without failure");
    }
    require(fileFormat == format && fromFile == fromBytes,
            "reading the file gives what its first 64 bytes give, zeros past its end");
}

} // namespace
} // namespace quillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmark;

    HeaderBytes header;
    header.length = std::min(size, kHeaderSize);
    header.regularFile = true;
    std::copy_n(data, header.length, header.bytes.begin());

    // Both values of the flag the reader must leave alone on a file that is no ROM.
    const bool swappedBefore = size % 2 == 1;
    const RomIdentity before = leftOver(swappedBefore);
    RomIdentity id = before;
    const RomFormat format = interpretHeader(header, id);
    fuzz::require(format == expectedFormat(header),
                  "the verdict follows the first four bytes exactly");
    fuzz::require(id.magicText == hexText(header.bytes[0]) + hexText(header.bytes[1]) +
                                      hexText(header.bytes[2]) + hexText(header.bytes[3]),
                  "magicText is the first four bytes in hex");

    if (format == RomFormat::NotRom) {
        checkNotRom(header, before, id);
    } else {
        checkRomFields(format, id);
        checkOtherOrder(header, format, id);
        const std::uint8_t country = id.headerBytes[kCountryByteIndex];
        id.countryText = countryDisplayText(country);
        id.countrySuffix = countrySuffix(country);
        checkCountry(country);
        checkNaming(id, *parseRomHeader(header));
    }
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    requireDisplayable(input);
    checkUltraHleStyle(input);

    // The file path costs a write and a read; every fourth input, chosen by its
    // own bytes so a saved input replays the same way.
    const bool throughFile = size == 0 || data[size - 1] % 4 == 0;
    if (throughFile) {
        RomIdentity reference = before;
        interpretHeader(header, reference);
        checkFileReadsTheSame(data, size, swappedBefore, format, reference);
    }
    return 0;
}
