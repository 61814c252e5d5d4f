#include "fsys/file_failure.h"
#include "fsys/header_file.h"
#include "romid/country.h"
#include "romid/header_text.h"
#include "support/temp_folder.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/rom_identity.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::RomFields;
using test::romImage;
using test::TempFolder;

const std::string kRealHeaders = std::string(QUILLMARK_TEST_DATA) + "/real-headers/";

// The header of the file at `path`, into the window's record.
RomFormat readRomHeader(const std::string& path, RomIdentity& identity) {
    const HeaderBytes header = readHeaderBytes(path);
    return recordHeader(header, parseRomHeader(header), identity);
}

TEST(HeaderText, HexWithoutLeadingZero) {
    EXPECT_EQ(hexText(0x00), "0");
    EXPECT_EQ(hexText(0x08), "8");
    EXPECT_EQ(hexText(0x4E), "4E");
    EXPECT_EQ(hexText(0xFF), "FF");
    EXPECT_EQ(byteChar(0x41), U'A');
    EXPECT_EQ(byteChar(0x00), U'\0');
    EXPECT_EQ(byteChar(0x80), U'\u20AC');
    EXPECT_EQ(byteChar(0xE9), U'\u00E9');
    EXPECT_EQ(displayText("Caf\xE9 \x99"), "Caf\xC3\xA9 \xE2\x84\xA2");
}

TEST(HeaderText, EncodingsRoundTrip) {
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = byteChar(static_cast<std::uint8_t>(byte));
        // The unassigned bytes hold no character, so nothing is written as them.
        EXPECT_EQ(windows1252Byte(c), c >= 0x80 && c <= 0x9F ? -1 : byte) << byte;
    }
    const std::u32string text = U"A\u00E9\u20AC\U0001F600\U0010FFFF";
    std::string utf8;
    for (const char32_t c : text) {
        appendUtf8(utf8, c);
    }
    EXPECT_EQ(utf8.size(), 1u + 2 + 3 + 4 + 4);
    EXPECT_EQ(decodeUtf8(utf8), text);
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "A\xE2\x82"}) {
        EXPECT_FALSE(decodeUtf8(bad)) << bad;
    }
}

TEST(RomHeader, BothByteOrdersGiveTheSameFields) {
    TempFolder folder;
    RomFields fields;
    fields.crc1 = {0x2F, 0x1A, 0x5C, 0x3B};
    fields.internalName = "SUPER R";
    fields.manufacturer = 'N';
    fields.cardId = {'N', 'S'};
    fields.country = 'D';
    const std::tuple<ByteOrder, RomFormat, const char*> orders[] = {
        {ByteOrder::Z64, RomFormat::Z64, "80371240"},
        {ByteOrder::V64, RomFormat::V64, "37804012"},
        {ByteOrder::N64, RomFormat::N64, "40123780"}};
    for (const auto& [order, format, magic] : orders) {
        SCOPED_TRACE(magic);
        RomIdentity id;
        id.byteSwapped = order == ByteOrder::Z64; // must be overwritten
        EXPECT_EQ(readRomHeader(folder.write("rom", romImage(fields, order)), id), format);
        EXPECT_EQ(id.byteSwapped, order != ByteOrder::Z64);
        EXPECT_EQ(id.magicText, magic);
        EXPECT_EQ(id.crc1Text, "2F1A5C3B");
        EXPECT_EQ(id.internalName, "SUPER R             ");
        EXPECT_EQ(id.manufacturerName, "= Nintendo");
        EXPECT_EQ(id.manufacturerText, "N (Hex 4E) = Nintendo");
        EXPECT_EQ(id.cardIdText, "NS, Hex 4E 53");
        EXPECT_EQ(id.headerBytes[31], 'D');
        EXPECT_EQ(id.headerBytes[28], 'N');
        EXPECT_EQ(id.headerBytes[29], 'N');
        EXPECT_EQ(id.headerBytes[30], 'S');
    }
}

TEST(RomHeader, V64PairExchangeOfRawPositions) {
    // Raw V64 file bytes: positions 17–20 hold 2F 1A 5C 3B, 33–38 "USEP R".
    std::string file(64, ' ');
    file.replace(0, 4, "\x37\x80\x40\x12");
    file.replace(16, 4, "\x2F\x1A\x5C\x3B");
    const std::string name = "USEP R";
    std::copy(name.begin(), name.end(), file.begin() + 32);
    file[58] = 'n';  // manufacturer, V64 position 59
    file[61] = 0x00; // card ID first character, V64 position 62
    file[60] = '\n'; // card ID second character, V64 position 61
    file[63] = 'e';  // country, V64 position 64
    TempFolder folder;
    RomIdentity id;
    ASSERT_EQ(readRomHeader(folder.write("v64", file), id), RomFormat::V64);
    EXPECT_EQ(id.crc1Text, "1A2F3B5C");
    EXPECT_EQ(id.internalName.substr(0, 6), "SUPER ");
    EXPECT_EQ(id.manufacturerText, "n (Hex 6E) ");
    EXPECT_EQ(id.cardIdText, std::string("\0\n, Hex 0 A", 11));
    EXPECT_EQ(id.headerBytes[31], 'e');
    // Indices 8–27 stay in file order.
    EXPECT_EQ(id.headerBytes[8], 'U');
    EXPECT_EQ(id.headerBytes[9], 'S');
}

TEST(RomHeader, Crc1TextsAreUnpadded) {
    TempFolder folder;
    RomFields fields;
    fields.crc1 = {0x09, 0x33, 0xDD, 0x17};
    RomIdentity a;
    readRomHeader(folder.write("a", romImage(fields, ByteOrder::Z64)), a);
    fields.crc1 = {0x93, 0x3D, 0xD1, 0x07};
    RomIdentity b;
    readRomHeader(folder.write("b", romImage(fields, ByteOrder::V64)), b);
    EXPECT_EQ(a.crc1Text, "933DD17");
    EXPECT_EQ(b.crc1Text, "933DD17");
}

TEST(RomHeader, NotRomChangesOnlyMagicAndFirstEightBytes) {
    TempFolder folder;
    RomIdentity id;
    RomFields fields;
    ASSERT_EQ(readRomHeader(folder.write("rom", romImage(fields, ByteOrder::V64)), id),
              RomFormat::V64);
    const RomIdentity before = id;

    // Any other order of the magic bytes, a text file, a short file, an
    // empty file, a FIFO.
    std::string halvesSwapped(64, 'x');
    halvesSwapped.replace(0, 4, "\x12\x40\x80\x37");
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {folder.write("halves", halvesSwapped), "12408037"},
        {folder.write("text.txt", "Hello, this is a plain text file with enough bytes......"),
         "48656C6C"},
        {folder.write("three", "\x80\x37\x12"), "803712"
                                                "0"},
        {folder.write("empty", ""), "0000"},
        {folder.file("pipe"), "0000"},
    };
    for (const auto& [path, magic] : cases) {
        SCOPED_TRACE(path);
        id = before;
        EXPECT_EQ(readRomHeader(path, id), RomFormat::NotRom);
        EXPECT_EQ(id.magicText, magic);
        RomIdentity expected = before;
        expected.magicText = id.magicText;
        std::copy(id.headerBytes.begin(), id.headerBytes.begin() + 8, expected.headerBytes.begin());
        EXPECT_EQ(id.byteSwapped, true);
        EXPECT_EQ(id.crc1Text, before.crc1Text);
        EXPECT_EQ(id.internalName, before.internalName);
        EXPECT_EQ(id.manufacturerText, before.manufacturerText);
        EXPECT_EQ(id.cardIdText, before.cardIdText);
        EXPECT_EQ(id.headerBytes, expected.headerBytes);
    }
}

TEST(RomHeader, ShortRomImageReadsZerosPastItsEnd) {
    TempFolder folder;
    RomFields fields;
    fields.internalName = "ABCDEFGHIJKLMNOPQRST";
    // 40 bytes: the magic, CRC1 and half the name; the rest reads as zeros.
    RomIdentity id;
    ASSERT_EQ(readRomHeader(folder.write("short", romImage(fields, ByteOrder::Z64, 40)), id),
              RomFormat::Z64);
    EXPECT_EQ(id.internalName, std::string("ABCDEFGH") + std::string(12, '\0'));
    EXPECT_EQ(id.manufacturerText, std::string("\0 (Hex 0) ", 10));
    EXPECT_EQ(id.headerBytes[31], 0);
}

TEST(RomHeader, FailureLeavesTheRecordAlone) {
    TempFolder folder;
    RomIdentity id;
    id.magicText = "previous";
    try {
        readRomHeader(folder.file("missing.v64"), id);
        FAIL() << "no failure for a missing file";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.number(), 53);
    }
    EXPECT_EQ(id.magicText, "previous");
}

struct RealHeader {
    std::string file;
    RomFormat format;
    std::string crc1Text;
    std::string internalName;
    std::string manufacturerText;
    std::uint8_t country;
};

TEST(RomHeader, RealCartridgeHeaders) {
    const std::string noManufacturer("\0 (Hex 0) ", 10);
    const RealHeader cases[] = {
        {"m64p_test_rom.v64.hdr64", RomFormat::V64, "DDBA4DE5", "Mupen64Plus         ",
         noManufacturer, 0x00},
        {"rx-mm64.v64.hdr64", RomFormat::V64, "A47D4AD4", "Manic Miner 64      ",
         "N (Hex 4E) = Nintendo", 'E'},
        {"CoverageTest.N64.hdr64", RomFormat::Z64, "6A1CF2AA", "Coverage test       ",
         "N (Hex 4E) = Nintendo", 'E'},
        {"VIScrollingBGDMA16BPP320X240.N64.hdr64", RomFormat::Z64, "61F247A",
         "INTERRUPT VI 16BPP S", noManufacturer, 0x00},
        {"flames.z64.hdr64", RomFormat::Z64, "B484EB31", std::string("Flame Demo 12/25/01\0", 20),
         noManufacturer, 0x00},
    };
    for (const RealHeader& c : cases) {
        SCOPED_TRACE(c.file);
        RomIdentity id;
        EXPECT_EQ(readRomHeader(kRealHeaders + c.file, id), c.format);
        EXPECT_EQ(id.crc1Text, c.crc1Text);
        EXPECT_EQ(id.internalName, c.internalName);
        EXPECT_EQ(id.manufacturerText, c.manufacturerText);
        EXPECT_EQ(id.headerBytes[31], c.country);
    }
    // The same cartridge in V64 and in 32-bit little-endian order.
    RomIdentity v64, n64;
    readRomHeader(kRealHeaders + "rx-mm64.v64.hdr64", v64);
    EXPECT_EQ(v64.cardIdText, "MM, Hex 4D 4D");
    EXPECT_EQ(readRomHeader(kRealHeaders + "rx-mm64.n64.hdr64", n64), RomFormat::N64);
    EXPECT_EQ(n64.magicText, "40123780");
    EXPECT_EQ(std::tie(n64.crc1, n64.crc2, n64.internalName, n64.manufacturerText, n64.cardIdText,
                       n64.headerBytes[31]),
              std::tie(v64.crc1, v64.crc2, v64.internalName, v64.manufacturerText, v64.cardIdText,
                       v64.headerBytes[31]));
}

TEST(RomHeader, FormatTexts) {
    EXPECT_EQ(formatText(RomFormat::Z64), "N64 Rom, not byteswapped (Mr.Backup Z64 Format)");
    EXPECT_EQ(formatText(RomFormat::V64), "N64 Rom, byteswapped (Dr. V64 Format)");
    EXPECT_EQ(formatText(RomFormat::N64), "N64 Rom, little-endian (.n64 Format)");
    EXPECT_EQ(formatText(RomFormat::NotRom), "This is no N64 ROM Image !");
    EXPECT_EQ(fileTypeText(RomFormat::Z64, ArchiveKind::Zip),
              "N64 Rom, not byteswapped (Mr.Backup Z64 Format) in a ZIP archive");
    EXPECT_EQ(fileTypeText(RomFormat::N64, ArchiveKind::SevenZip),
              "N64 Rom, little-endian (.n64 Format) in a 7z archive");
    EXPECT_EQ(fileTypeText(RomFormat::V64, std::nullopt), formatText(RomFormat::V64));
}

TEST(Country, NamedLettersAndTheirTwoSuffixes) {
    struct Row {
        char letter;
        const char* display;
        const char* single;
        const char* batch;
    };
    const Row rows[] = {
        {'D', "D = Europe, Germany (Pal)", " (Euro - Germany)", " (Euro - Deutschland)"},
        {'E', "E = USA (NTSC)", " (USA)", " (USA)"},
        {'F', "F = Europe, Frankreich (Pal)", " (Euro - France)", " (Euro - Frankreich)"},
        {'I', "I = Europe, Italien (Pal)", " (Euro - Italy)", " (Euro - Italien)"},
        {'J', "J = Japan", " (JAP)", " (JAP)"},
        {'P', "P = Europe (PAL)", " (Euro)", " (Euro)"},
        {'U', "U = Australia (PAL)", " (Australia)", " (Australien)"},
    };
    for (const Row& row : rows) {
        const auto byte = static_cast<std::uint8_t>(row.letter);
        EXPECT_EQ(countryDisplayText(byte), row.display);
        EXPECT_EQ(countrySuffix(byte), row.single);
        EXPECT_EQ(batchCountrySuffix(byte), row.batch);
    }
}

TEST(Country, OtherLettersAndOtherBytes) {
    for (char letter : std::string("ABCGHKLMNOQRSTVWXYZ")) {
        const auto byte = static_cast<std::uint8_t>(letter);
        EXPECT_EQ(countryDisplayText(byte), std::string(1, letter) + " = ?");
        EXPECT_EQ(countrySuffix(byte), "");
        EXPECT_EQ(batchCountrySuffix(byte), "");
    }
    EXPECT_EQ(countryDisplayText(0x65), "Hex 65   = ?"); // lower-case e
    EXPECT_EQ(countryDisplayText(0x00), "Hex 0   = ?");
    EXPECT_EQ(countryDisplayText(0xC4), "Hex C4   = ?");
    EXPECT_EQ(countrySuffix(0x65), "");
    EXPECT_EQ(batchCountrySuffix(0x00), "");
}

} // namespace
} // namespace quillmark
