#include "names/title_rule.h"
#include "romid/file_name.h"
#include "romid/header_text.h"
#include "support/portable_file_name.h"

#include <gtest/gtest.h>
#include <random>
#include <stdexcept>

namespace quillmark {
namespace {

using test::portableFileNameProblem;

std::string listTitle(std::string_view utf8) {
    return makeListTitle(utf8).text;
}

TEST(TitleRule, NearFormsComeBeforeTheFileNameRule) {
    // A full-width colon becomes ":" first, and then the colon rule applies.
    EXPECT_EQ(listTitle("\xEF\xBC\xBA"
                        "elda\xEF\xBC\x9A"
                        "Test"),
              "Zelda-Test");
    EXPECT_EQ(listTitle("\xC4\xB2ssel \xE2\x80\x90 \xE2\x80\xB2"
                        "90"),
              "IJssel - '90");
    EXPECT_EQ(listTitle("No\xC2\xA0"
                        "Break\xE3\x80\x80Space"),
              "No Break Space");
    const ListTitle plain = makeListTitle("Super Smash Bros.");
    EXPECT_EQ(plain.text, "Super Smash Bros."); // the dot at the end stays: ".v64" follows
    EXPECT_FALSE(plain.changed);
}

TEST(TitleRule, WindowsDeviceNamesAreDefused) {
    EXPECT_EQ(listTitle("NUL"), "NUL_");
    EXPECT_EQ(listTitle("lpt1"), "lpt1_");
    EXPECT_EQ(listTitle("Com\xC2\xB9"), "Com\xB9_");
    EXPECT_EQ(listTitle("Con . Air"), "Con_ . Air");
    EXPECT_EQ(listTitle(".PRN"), "PRN_"); // the leading dot goes first
    // Only the whole text before the first dot counts.
    for (const char* title : {"CONSOLE", "LPT9 Game", "AUX2", "Nullify", "COM10"}) {
        EXPECT_EQ(listTitle(title), title);
    }
}

TEST(TitleRule, TheCutFallsBetweenCharactersAt200Bytes) {
    EXPECT_EQ(listTitle(std::string(200, 'x')), std::string(200, 'x'));
    EXPECT_EQ(listTitle(std::string(201, 'x')), std::string(200, 'x'));
    // "€" is one byte in the list but three in UTF-8: 198 + 3 > 200.
    EXPECT_EQ(listTitle(std::string(198, 'x') + "\xE2\x82\xAC"), std::string(198, 'x'));
    EXPECT_EQ(listTitle(std::string(197, 'x') + "\xE2\x82\xAC"), std::string(197, 'x') + "\x80");
}

TEST(TitleRule, MalformedUtf8IsRefused) {
    for (const char* bad :
         {"\xC3", "A\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        EXPECT_THROW(makeListTitle(bad), std::invalid_argument) << bad;
    }
}

// Titles made of the pieces that cause trouble, at random but always the same:
// every result is a file name everywhere with any suffix, at most 200 bytes,
// and a second pass of the rule changes nothing.
TEST(TitleRule, AnyTitleComesOutAPortableFixedPoint) {
    const std::string pieces[] = {
        "A",
        "b",
        " ",
        "  ",
        ".",
        ":",
        ": ",
        "/",
        "\\",
        "*",
        "?",
        "\"",
        "<",
        ">",
        "|",
        "\t",
        "\x01",
        "\x7F",
        "CON",
        "nul",
        "COM1",
        "\xC2\x85",
        "\xC2\xA0",
        "\xC3\xA9",
        "\xE2\x82\xAC",
        "\xC5\x8D",
        "\xE2\x98\x85",
        "\xEF\xBC\xA1",
        "\xEF\xBC\x9A",
        "\xCC\x81",
        "\xC4\xB3",
        "\xE3\x82\xAB",
        "\xF0\x9F\x8E\xAE",
    };
    const char* suffixes[] = {"", " (USA)", " (Euro - Deutschland)", " (JAP)"};
    std::mt19937 random(64);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 120);
    int nonEmpty = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string title;
        for (int n = length(random); n > 0; --n) {
            title += pieces[pick(random)];
        }
        const ListTitle result = makeListTitle(title);
        if (result.text.empty()) {
            continue;
        }
        ++nonEmpty;
        const std::string utf8 = windows1252ToUtf8(result.text);
        ASSERT_LE(utf8.size(), kMaxTitleBytes) << title;
        for (const char* suffix : suffixes) {
            const std::string name = composeFileName(utf8, suffix);
            ASSERT_EQ(portableFileNameProblem(name), "") << name;
            ASSERT_EQ(portableFileNameProblem(ultraHleName(name)), "") << name;
        }
        const ListTitle again = makeListTitle(utf8);
        ASSERT_EQ(again.text, result.text) << title;
        ASSERT_FALSE(again.changed) << title;
    }
    EXPECT_GT(nonEmpty, 2500);
}

} // namespace
} // namespace quillmark
