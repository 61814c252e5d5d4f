#include "archive_writer.h"
#include "fake_view.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"
#include "ui/presenter/naming_style.h"
#include "ui/presenter/rom_identity.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::nameListLine;
using test::RomFields;
using test::romImage;
using test::TempFolder;

class Identify : public ::testing::Test {
protected:
    TempFolder folder;
    std::string list = folder.file("roms.ini");
    NameList names{list};
    RomIdentity id;

    Identify() {
        folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64") +
                                     nameListLine("Test Program", "From The List") +
                                     nameListLine("ZZZ LAST", "Last Title"));
    }

    Identification identify(const std::string& file, NamingStyle style = NamingStyle::Normal) {
        return identifyFile(id, folder.path(), file, style, names);
    }
};

TEST_F(Identify, KnownRomInEitherStyle) {
    RomFields fields;
    fields.internalName = "MARIO KART 64";
    fields.country = 'D';
    folder.write("mk.z64", romImage(fields, ByteOrder::V64));
    Identification result = identify("mk.z64");
    EXPECT_EQ(result.format, RomFormat::V64);
    EXPECT_TRUE(result.titleFound);
    EXPECT_TRUE(result.renameOffered);
    EXPECT_FALSE(result.failure);
    EXPECT_EQ(id.romFilePath, folder.path() + "/mk.z64");
    EXPECT_EQ(id.pathSeparator, "/");
    EXPECT_EQ(id.countryText, "D = Europe, Germany (Pal)");
    EXPECT_EQ(id.countrySuffix, " (Euro - Germany)");
    EXPECT_EQ(id.fullTitle, "Mario Kart 64");
    EXPECT_EQ(id.newFileName, "Mario Kart 64 (Euro - Germany).v64");

    result = identify("mk.z64", NamingStyle::UltraHle);
    EXPECT_EQ(id.newFileName, "Mario_Kart_64_(Euro_-_Germany).v64");
    EXPECT_TRUE(result.renameOffered);
}

TEST_F(Identify, ZippedRomKeepsTheArchiveExtensionInEitherStyle) {
    RomFields fields;
    fields.internalName = "MARIO KART 64";
    folder.write("mk.zip",
                 archives::writeArchive({{"mk.n64", romImage(fields, ByteOrder::N64)}}, {}));
    const Identification result = identify("mk.zip", NamingStyle::UltraHle);
    EXPECT_EQ(result.format, RomFormat::N64);
    EXPECT_EQ(result.archive, ArchiveKind::Zip);
    EXPECT_EQ(id.newFileName, "Mario_Kart_64_(USA).zip");
    test::FakeView view;
    view.visible[static_cast<std::size_t>(Control::Command2)] = true;
    chooseNormalNames(view, id);
    EXPECT_EQ(view.caption(Control::Nameneu), "Mario Kart 64 (USA).zip");
}

TEST_F(Identify, RootFolderGetsNoExtraSeparator) {
    identifyFile(id, "/", "no-such-file-here", NamingStyle::Normal, names);
    EXPECT_EQ(id.pathSeparator, "");
    EXPECT_EQ(id.romFilePath, "/no-such-file-here");
}

TEST_F(Identify, UnknownAndDemoTableNames) {
    RomFields fields;
    fields.internalName = "NOBODY KNOWS";
    folder.write("unknown.v64", romImage(fields, ByteOrder::Z64));
    Identification result = identify("unknown.v64");
    EXPECT_FALSE(result.renameOffered);
    EXPECT_TRUE(id.romUnknown);
    EXPECT_EQ(id.newFileName, "ROM unknown !");
    EXPECT_EQ(id.fullTitle, "Last Title"); // the last record read

    // A demo-table name with a CRC1 the table lacks stays unknown although the
    // list has the name.
    fields.internalName = "Test Program";
    fields.crc1 = {0xDE, 0xAD, 0xBE, 0xEF};
    folder.write("demo.v64", romImage(fields, ByteOrder::Z64));
    result = identify("demo.v64");
    EXPECT_FALSE(result.titleFound);
    EXPECT_EQ(id.newFileName, "ROM unknown !");

    fields.crc1 = {0x7D, 0x17, 0x27, 0xF1};
    fields.country = 'E';
    folder.write("pause.v64", romImage(fields, ByteOrder::V64));
    result = identify("pause.v64", NamingStyle::UltraHle);
    EXPECT_TRUE(result.renameOffered);
    EXPECT_EQ(id.fullTitle, "Pause Demo");
    EXPECT_EQ(id.newFileName, "Pause_Demo_(USA).v64");

    // Without the list the demo table still answers for its own names.
    std::filesystem::remove(list);
    EXPECT_FALSE(identify("demo.v64").failure);
    EXPECT_EQ(id.newFileName, "ROM unknown !");
    EXPECT_FALSE(identify("pause.v64").failure);
    EXPECT_EQ(id.newFileName, "Pause Demo (USA).v64");

    // A record whose title is empty or blank names no file.
    fields.internalName = "BLANK";
    folder.write("blank.v64", romImage(fields, ByteOrder::Z64));
    for (const std::string& record :
         {nameListLine("BLANK", ""), nameListLine("BLANK", "\" \xA0\t\""),
          std::string("\"BLANK               \"")}) {
        folder.write("roms.ini", record);
        EXPECT_FALSE(identify("blank.v64").titleFound) << record;
        EXPECT_EQ(id.newFileName, "ROM unknown !");
    }
}

TEST_F(Identify, DumpRecordsFirstThenTheDemoTableThenInternalNames) {
    folder.write("roms.ini", nameListLine("MARIO KART 64", "By Name") +
                                 nameListLine("Test Program", "Listed Demo") +
                                 "\"12345678-0000abcd-C:45\",\"Kart By Dump\"\r\n"
                                 "\"12345678-0000ABCD-c:45\",\"Second Dump Record\"\r\n"
                                 "\"7D1727f1-0000ABCD-C:45\",\"Pause By Dump\"\r\n"
                                 "\"DEADBEEF-0000AB00-C:45\",\"Demo By Dump\"\r\n");
    const std::array<std::uint8_t, 4> pause{0x7D, 0x17, 0x27, 0xF1}, dead{0xDE, 0xAD, 0xBE, 0xEF};
    const auto crc2 = [](std::uint8_t low) { return std::array<std::uint8_t, 4>{0, 0, 0xAB, low}; };
    // CRC1 is 12345678 unless given; an empty title: none found.
    const std::pair<RomFields, const char*> cases[] = {
        {{.crc2 = crc2(0xCD), .internalName = "MARIO KART 64"}, "Kart By Dump"},
        {{.crc2 = crc2(0xCE), .internalName = "MARIO KART 64"}, "By Name"},
        {{.crc2 = crc2(0xCD), .internalName = "MARIO KART 64", .country = 'J'}, "By Name"},
        {{.crc1 = pause, .crc2 = crc2(0xCD), .internalName = "Test Program"}, "Pause By Dump"},
        {{.crc1 = pause, .crc2 = crc2(0x00), .internalName = "Test Program"}, "Pause Demo"},
        {{.crc1 = dead, .crc2 = crc2(0x00), .internalName = "Test Program"}, "Demo By Dump"},
        {{.crc1 = dead, .crc2 = crc2(0x01), .internalName = "Test Program"}, ""}, // no title
    };
    for (const auto& [fields, title] : cases) {
        for (const ByteOrder order : {ByteOrder::Z64, ByteOrder::V64}) {
            folder.write("rom.bin", romImage(fields, order));
            EXPECT_EQ(identify("rom.bin").titleFound ? id.fullTitle : "", title)
                << fields.internalName << " " << id.crc1Text << " " << int(fields.crc2[3]);
        }
    }
}

TEST_F(Identify, NotRomKeepsThePreviousIdentification) {
    RomFields fields;
    fields.internalName = "MARIO KART 64";
    folder.write("mk.v64", romImage(fields, ByteOrder::Z64));
    identify("mk.v64");
    const RomIdentity before = id;
    folder.write("readme.txt", "not a cartridge at all, just some text of a decent length");
    const Identification result = identify("readme.txt");
    EXPECT_EQ(result.format, RomFormat::NotRom);
    EXPECT_FALSE(result.renameOffered);
    EXPECT_EQ(id.newFileName, "");
    EXPECT_EQ(id.romUnknown, before.romUnknown);
    EXPECT_EQ(id.crc1Text, before.crc1Text);
    EXPECT_EQ(id.internalName, before.internalName);
    EXPECT_EQ(id.fullTitle, before.fullTitle);
    EXPECT_EQ(id.countryText, before.countryText);
}

TEST_F(Identify, FailuresEndItWhereTheyHappen) {
    RomFields fields;
    fields.internalName = "MARIO KART 64";
    folder.write("mk.v64", romImage(fields, ByteOrder::Z64));
    {
        test::SystemCallFault fault(test::SystemCallFault::Call::Open, EACCES);
        const Identification result = identify("mk.v64");
        ASSERT_TRUE(result.failure);
        EXPECT_EQ(result.failure->number(), 70);
        EXPECT_FALSE(result.headerRead);
    }
    // Name list missing: the header fields are there, no title, no name.
    std::filesystem::remove(list);
    const Identification result = identify("mk.v64");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(result.failure->number(), 53);
    EXPECT_TRUE(result.headerRead);
    EXPECT_EQ(id.crc1Text, "12345678");
    EXPECT_EQ(id.countryText, "E = USA (NTSC)");
    EXPECT_EQ(id.newFileName, "");
    EXPECT_FALSE(result.renameOffered);
}

TEST_F(Identify, NoInternalName) {
    RomFields fields;
    fields.internalName = std::string(20, '\0');
    folder.write("blank.v64", romImage(fields, ByteOrder::Z64));
    const Identification result = identify("blank.v64");
    EXPECT_FALSE(result.renameOffered);
    EXPECT_EQ(id.newFileName, "- ROM can not be identified ! No internal name -");
}

TEST(ShownName, MarkersInBothStyles) {
    EXPECT_EQ(shownName({NameKind::Unknown, ""}, NamingStyle::UltraHle), "ROM_unknown_!");
    EXPECT_EQ(shownName({NameKind::NoInternalName, ""}, NamingStyle::Normal),
              "- ROM can not be identified ! No internal name -");
    EXPECT_EQ(shownName({NameKind::NoInternalName, ""}, NamingStyle::UltraHle),
              "-_ROM_can_not_be_identified_!_No_internal_name_-");
}

} // namespace
} // namespace quillmark
