#include "romid/country.h"
#include "romid/demo_table.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

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
        EXPECT_EQ(countrySuffix(byte, SuffixSet::SingleFile), row.single);
        EXPECT_EQ(countrySuffix(byte, SuffixSet::Batch), row.batch);
    }
}

TEST(Country, OtherLettersAndOtherBytes) {
    for (char letter : std::string("ABCGHKLMNOQRSTVWXYZ")) {
        const auto byte = static_cast<std::uint8_t>(letter);
        EXPECT_EQ(countryDisplayText(byte), std::string(1, letter) + " = ?");
        EXPECT_EQ(countrySuffix(byte, SuffixSet::SingleFile), "");
        EXPECT_EQ(countrySuffix(byte, SuffixSet::Batch), "");
    }
    EXPECT_EQ(countryDisplayText(0x65), "Hex 65   = ?"); // lower-case e
    EXPECT_EQ(countryDisplayText(0x00), "Hex 0   = ?");
    EXPECT_EQ(countryDisplayText(0xC4), "Hex C4   = ?");
    EXPECT_EQ(countrySuffix(0x65, SuffixSet::SingleFile), "");
    EXPECT_EQ(countrySuffix(0x00, SuffixSet::Batch), "");
}

TEST(DemoTable, ResolvesSharedNamesByCrc1) {
    const std::string test = "Test Program        ";
    EXPECT_EQ(lookUpDemo(test, "1EDA4DE0").title, "Xtralife Dextrose Demo");
    EXPECT_EQ(lookUpDemo(test, "933DD17").title, "Soncrap Golden Eye Intro");
    EXPECT_EQ(lookUpDemo(test, "7D1727F1").title, "Pause Demo");
    EXPECT_EQ(lookUpDemo(test, "30E6FE79").title, "Fractal Zoomer Demo");
    EXPECT_EQ(lookUpDemo("The Corporation     ", "C3AB938D").title, "The Corporation 2nd Intro");
    EXPECT_EQ(lookUpDemo("Protest Design      ", "EDAFD3C0").title, "POMolizer POM '99 Demo");
    const std::string snap = "POKEMON SNAP        ";
    EXPECT_EQ(lookUpDemo(snap, "CA12B547").title, "Pokemon Snap");
    EXPECT_EQ(lookUpDemo(snap, "BB2D10F8").title, "Pokemon Snap");
    EXPECT_EQ(lookUpDemo(snap, "39119872").title, "Pokemon Snap Station - Special Promo");
    EXPECT_EQ(lookUpDemo(snap, "39119872").outcome, DemoLookup::Title);
}

TEST(DemoTable, UnknownCrc1OrOtherNames) {
    // A table name with a CRC1 of none of its rows: no title, and no list lookup.
    EXPECT_EQ(lookUpDemo("Test Program        ", "12345678").outcome, DemoLookup::NoTitle);
    EXPECT_EQ(lookUpDemo("Test Program        ", "933dd17").outcome, DemoLookup::NoTitle);
    // A CRC1 of another name's row has no effect.
    EXPECT_EQ(lookUpDemo("The Corporation     ", "1EDA4DE0").outcome, DemoLookup::NoTitle);
    // Case, padding and other names are not in the table.
    EXPECT_EQ(lookUpDemo("Pokemon Snap        ", "CA12B547").outcome, DemoLookup::NotInTable);
    EXPECT_EQ(lookUpDemo("Test Program", "1EDA4DE0").outcome, DemoLookup::NotInTable);
    EXPECT_EQ(lookUpDemo("SUPER MARIO 64      ", "1EDA4DE0").outcome, DemoLookup::NotInTable);
    EXPECT_TRUE(isDemoTableName("Protest Design      "));
    EXPECT_FALSE(isDemoTableName("Protest Design"));
}

} // namespace
} // namespace quillmark
