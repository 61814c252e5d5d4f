#include "romid/name_list_records.h"

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
    const std::pair<std::string_view, Fields> cases[] = {
        {"\r\n\"A\",\"1\"\r\n\r\n   \n\"B\",\"2\"\n\"C\",\"3\"\r\n\r\n",
         {{"A", "1"}, {"B", "2"}, {"C", "3"}}},
        {"", {}},
        {"\r\n\n  \r\n\r\r", {}},
        // A lone CR ends a record too, quoted or not, and is never part of a field.
        {"\"A\",\"1\"\r\"B\",\"2\"\r", {{"A", "1"}, {"B", "2"}}},
        {"A,1\rB,2", {{"A", "1"}, {"B", "2"}}},
        {"A\rB,T", {{"A", ""}, {"B", "T"}}},
        {"\"A\r\",T\n\rB,2\n\r\n", {{"A", ""}, {",T", ""}, {"B", "2"}}},
        {"\xEF\xBB\xBF\"A\",\"1\"", {{"A", "1"}}}, // a UTF-8 byte-order mark
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(fields(text), expected) << testing::PrintToString(std::string(text));
    }
}

} // namespace
} // namespace quillmark
