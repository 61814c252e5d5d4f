#include "fsys/name_list_records.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

std::vector<std::pair<std::string, std::string>> fields(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const NameRecord& record : parseNameRecords(text)) {
        result.emplace_back(record.key, record.title);
    }
    return result;
}

using Fields = std::vector<std::pair<std::string, std::string>>;

TEST(NameListRecords, QuotedFieldsKeepEverythingBetweenTheQuotes) {
    EXPECT_EQ(fields("\"SUPER MARIO 64      \",\"Super Mario 64\"\r\n"),
              (Fields{{"SUPER MARIO 64      ", "Super Mario 64"}}));
    EXPECT_EQ(fields("\"A, B \",\"Title, with comma \""),
              (Fields{{"A, B ", "Title, with comma "}}));
    // Text between a closing quote and the comma is not part of the field.
    EXPECT_EQ(fields("\"KEY\" junk ,  \"T\" tail"), (Fields{{"KEY", "T"}}));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(fields("\"KEY,TITLE"), (Fields{{"KEY,TITLE", ""}}));
}

TEST(NameListRecords, UnquotedFieldsAreTrimmed) {
    EXPECT_EQ(fields("  KEY  ,   Some Title   \n"), (Fields{{"KEY", "Some Title"}}));
    EXPECT_EQ(fields("KEY"), (Fields{{"KEY", ""}}));
    EXPECT_EQ(fields("KEY,Title,extra"), (Fields{{"KEY", "Title"}}));
    EXPECT_EQ(fields(",Title"), (Fields{{"", "Title"}}));
}

TEST(NameListRecords, LineEndsAndBlankLines) {
    const std::string text = "\r\n\"A\",\"1\"\r\n\r\n   \n\"B\",\"2\"\n\"C\",\"3\"\r\n\r\n";
    EXPECT_EQ(fields(text), (Fields{{"A", "1"}, {"B", "2"}, {"C", "3"}}));
    EXPECT_TRUE(parseNameRecords("").empty());
    EXPECT_TRUE(parseNameRecords("\r\n\n  \r\n").empty());
    // A lone CR inside a line is part of the field, not a line end.
    EXPECT_EQ(fields("A\rB,T"), (Fields{{"A\rB", "T"}}));
}

} // namespace
} // namespace quillmark
