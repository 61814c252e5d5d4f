#include "romid/demo_table.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

TEST(DemoTable, ResolvesSharedNamesByCrc1) {
    const std::string test = "Test Program        ";
    EXPECT_EQ(lookUpDemo(test, 0x1EDA4DE0).title, "Xtralife Dextrose Demo");
    EXPECT_EQ(lookUpDemo(test, 0x9303DD17).title, "Soncrap Golden Eye Intro");
    EXPECT_EQ(lookUpDemo(test, 0x0933DD17).title, "Soncrap Golden Eye Intro"); // the same text
    EXPECT_EQ(lookUpDemo(test, 0x7D1727F1).title, "Pause Demo");
    EXPECT_EQ(lookUpDemo(test, 0x30E6FE79).title, "Fractal Zoomer Demo");
    EXPECT_EQ(lookUpDemo("The Corporation     ", 0xC3AB938D).title, "The Corporation 2nd Intro");
    EXPECT_EQ(lookUpDemo("Protest Design      ", 0xEDAFD3C0).title, "POMolizer POM '99 Demo");
    const std::string snap = "POKEMON SNAP        ";
    EXPECT_EQ(lookUpDemo(snap, 0xCA12B547).title, "Pokemon Snap");
    EXPECT_EQ(lookUpDemo(snap, 0xBB2D10F8).title, "Pokemon Snap");
    EXPECT_EQ(lookUpDemo(snap, 0x39119872).title, "Pokemon Snap Station - Special Promo");
    EXPECT_EQ(lookUpDemo(snap, 0x39119872).outcome, DemoLookup::Title);
}

TEST(DemoTable, UnknownCrc1OrOtherNames) {
    // A table name with a CRC1 of none of its rows: no title, and no list lookup.
    EXPECT_EQ(lookUpDemo("Test Program        ", 0x12345678).outcome, DemoLookup::NoTitle);
    // A CRC1 of another name's row has no effect.
    EXPECT_EQ(lookUpDemo("The Corporation     ", 0x1EDA4DE0).outcome, DemoLookup::NoTitle);
    // Case, padding and other names are not in the table.
    EXPECT_EQ(lookUpDemo("Pokemon Snap        ", 0xCA12B547).outcome, DemoLookup::NotInTable);
    EXPECT_EQ(lookUpDemo("Test Program", 0x1EDA4DE0).outcome, DemoLookup::NotInTable);
    EXPECT_EQ(lookUpDemo("SUPER MARIO 64      ", 0x1EDA4DE0).outcome, DemoLookup::NotInTable);
    EXPECT_TRUE(isDemoTableName("Protest Design      "));
    EXPECT_FALSE(isDemoTableName("Protest Design"));
}

} // namespace
} // namespace quillmark
