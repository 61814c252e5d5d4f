#include "names/facts_table.h"
#include "names/name_list_build.h"
#include "names/name_list_summary.h"
#include "romid/name_list_records.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <stdexcept>
#include <tuple>

namespace quillmark {
namespace {

const std::string kFacts = std::string(QUILLMARK_TEST_DATA) + "/names/facts.tsv";

std::string key(std::string_view name) {
    std::string padded(name);
    padded.resize(20, ' ');
    return padded;
}

// The small facts file holds one or more internal names for each rule.
class NameListFromFacts : public ::testing::Test {
protected:
    std::vector<FactsRow> rows = readFactsTable(kFacts);
    NameListBuild build = buildNameList(rows);
    std::string list = nameListText(build);
    std::string summary = nameListSummary(build, "facts.tsv");

    std::map<std::string, std::string> titles() const {
        std::map<std::string, std::string> byKey;
        for (const NameRecord& record : parseNameRecords(list)) {
            EXPECT_TRUE(byKey.emplace(record.key, record.title).second) << record.key;
        }
        return byKey;
    }

    const TitleChoice* choiceFor(std::string_view name) const {
        for (const TitleChoice& choice : build.choices) {
            if (choice.key == key(name)) {
                return &choice;
            }
        }
        return nullptr;
    }

    bool summaryHas(std::string_view text) const { return summary.find(text) != std::string::npos; }
};

TEST_F(NameListFromFacts, TakesTheTitleMostRowsShareThenAUsaRowThenByteOrder) {
    const auto byKey = titles();
    struct Case {
        const char* name;
        const char* title;
        ChoiceReason reason;
    };
    // COUNT GAME: two rows beat the USA row, and the three unreliable rows of
    // another title do not count. TIE USA: the USA title wins though it sorts
    // later. TIE BOTH USA: the first in byte order of the USA titles, not of all.
    const Case cases[] = {
        {"COUNT GAME", "Count Game", ChoiceReason::MostRows},
        {"TIE USA", "B Tie America", ChoiceReason::UsaRow},
        {"TIE SORT", "Alpha Sort", ChoiceReason::SortOrder},
        {"TIE BOTH USA", "Charlie Both", ChoiceReason::UsaRowsSortOrder},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(byKey.count(key(c.name)), 1u) << c.name;
        EXPECT_EQ(byKey.at(key(c.name)), c.title) << c.name;
        const TitleChoice* choice = choiceFor(c.name);
        ASSERT_NE(choice, nullptr) << c.name;
        EXPECT_EQ(choice->reason, c.reason) << c.name;
        EXPECT_EQ(choice->candidates.front().title, c.title) << c.name;
        // Every choice is reported with its title in the summary.
        EXPECT_TRUE(summaryHas("- `\"" + key(c.name) + "\"`: \"" + c.title + "\"")) << c.name;
    }
    const TitleChoice* tie = choiceFor("TIE BOTH USA");
    ASSERT_NE(tie, nullptr);
    EXPECT_EQ(tie->candidates.size(), 3u);

    // Two facts titles that the title rule makes equal are one title, not a choice.
    EXPECT_EQ(byKey.at(key("MERGE")), "Merge - Game");
    EXPECT_EQ(choiceFor("MERGE"), nullptr);
    EXPECT_EQ(build.choices.size(), 4u);
    EXPECT_TRUE(summaryHas("| names with more than one title (choices below) | 4 |"));
}

TEST_F(NameListFromFacts, LeavesOutNamesTheListMustNotOrCannotHold) {
    const auto byKey = titles();
    struct Case {
        std::string key;
        LeftOutReason reason;
    };
    const Case cases[] = {
        {key(std::string_view("\0NUL LED", 8)), LeftOutReason::NulStart},
        {key(""), LeftOutReason::Empty},
        {key("Test Program"), LeftOutReason::DemoTable},
        {key("QUOTE\"KEY"), LeftOutReason::UnwritableKey},
        {key("CR\rKEY"), LeftOutReason::UnwritableKey},
        {key("LF\nKEY"), LeftOutReason::UnwritableKey},
        {key("QUESTIONS"), LeftOutReason::EmptyTitle},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(byKey.count(c.key), 0u) << c.key;
        const auto found =
            std::find_if(build.leftOut.begin(), build.leftOut.end(),
                         [&c](const LeftOutName& name) { return name.key == c.key; });
        ASSERT_NE(found, build.leftOut.end()) << c.key;
        EXPECT_EQ(found->reason, c.reason) << c.key;
    }
    EXPECT_EQ(build.leftOut.size(), std::size(cases));
    // A name known only from unreliable rows is not in the list, nor reported.
    EXPECT_EQ(byKey.count(key("UNRELIABLE ONLY")), 0u);
    EXPECT_FALSE(summaryHas("UNRELIABLE ONLY"));

    EXPECT_TRUE(summaryHas("| names left out: begins with a NUL byte | 1 |"));
    EXPECT_TRUE(summaryHas("| names left out: empty (spaces only) | 1 |"));
    EXPECT_TRUE(summaryHas("| names left out: answered by the built-in demo table | 1 |"));
    EXPECT_TRUE(summaryHas("| names left out: key holds a double quote, CR or LF | 3 |"));
    EXPECT_TRUE(summaryHas("| names left out: no title left after the title rule | 1 |"));
    // Keys with control bytes are shown escaped, so the summary stays one line per name.
    EXPECT_TRUE(summaryHas("`\"CR\\x0DKEY              \"`"));
    EXPECT_TRUE(summaryHas("`\"\\x00NUL LED            \"`"));
}

TEST_F(NameListFromFacts, TitlesBecomeFileNamesEverywhereAndWindows1252) {
    const auto byKey = titles();
    const std::map<std::string, std::string> expected = {
        {"COLON SPACED", "Colon - Spaced Out"},
        {"COLON TIGHT", "Colon-Tight"},
        {"SLASHES", "Slash-Back-Pipe-End"},
        {"DROPPED", "Star Power"},
        {"QUOTES", "Say 'Hi' (Now)"},
        {"CONTROLS", "Tab Char Next"},
        {"SPACES", "Double Space."},
        {"LEADING DOT", "hack Quest"},
        {"DEVICE", "con_"},
        {"AUX NAME", "Aux_. Tales"},
        // 198 letters, a space and "é": the 200-byte cut falls inside "é",
        // which goes whole, and the space before it goes too.
        {"LONG", std::string(198, 'A')},
        {"ENCODING", "Pok\xE9mon \x80 Edition"},
        {"NEAR FORMS", "Okami X Cafe"},
        {"NO NEAR FORM", "Star Shine"},
        {"COMMA", "Comma, The Game"},
    };
    for (const auto& [name, title] : expected) {
        ASSERT_EQ(byKey.count(key(name)), 1u) << name;
        EXPECT_EQ(byKey.at(key(name)), title) << name;
    }
    // Every change is listed in the summary, in UTF-8.
    EXPECT_TRUE(summaryHas("- \"Colon:Tight\" → \"Colon-Tight\"\n"));
    EXPECT_FALSE(summaryHas("- \"Pokémon € Edition\"")); // Windows-1252 holds it as it is
    EXPECT_TRUE(summaryHas("- \"Star ★ Shine\" → \"Star Shine\"\n"));
    // Changed: 13 of the titles above (not ENCODING, COMMA), "???" and "Merge: Game".
    EXPECT_EQ(build.changedTitles.size(), 15u);
    EXPECT_TRUE(summaryHas("| facts titles changed by the title rule (listed below) | 15 |"));
    EXPECT_TRUE(summaryHas("| characters written in a near form for Windows-1252 | 3 |"));
    EXPECT_TRUE(summaryHas("| characters dropped for Windows-1252 | 1 |"));
}

TEST_F(NameListFromFacts, WritesOneQuotedCrLfRecordPerLineSortedByKeyBytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = list.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "last line without CR LF";
        lines.push_back(list.substr(start, end - start));
        start = end + 2;
    }
    // The dump records come first, each key "CRC1-CRC2-C:CC" in upper-case hex.
    const std::size_t dumps = build.dumpRecords.size();
    ASSERT_EQ(lines.size(), dumps + build.records.size());
    EXPECT_EQ(lines.size(), 21u + 31u);
    const std::regex dumpLine(R"("[0-9A-F]{8}-[0-9A-F]{8}-C:[0-9A-F]{2}",".*")");
    for (std::size_t i = 0; i < dumps; ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], dumpLine)) << lines[i];
        EXPECT_TRUE(i == 0 || lines[i - 1] < lines[i]) << lines[i];
    }
    for (std::size_t i = dumps; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_EQ(line.find('\n'), std::string::npos);
        ASSERT_GE(line.size(), 25u);
        EXPECT_EQ(line.substr(0, 1), "\"");
        EXPECT_EQ(line.substr(21, 3), "\",\"");
        EXPECT_EQ(line.back(), '"');
        if (i > dumps) {
            EXPECT_LT(lines[i - 1].substr(1, 20), line.substr(1, 20));
        }
    }
    // Bytes above 0x7F sort after ASCII: the half-width katakana name comes last.
    EXPECT_EQ(lines.back().substr(1, 20), key("\xB6\xDE\xDD\xCA\xDE\xDA"));
    EXPECT_TRUE(summaryHas("| records written | 31 |"));
    EXPECT_TRUE(summaryHas("| dump records written | 21 |"));
}

// Every dump's file name is its own: title and batch suffix, letter case ignored.
TEST_F(NameListFromFacts, GivesEveryDumpAFileNameOfItsOwn) {
    // Key, title, and whether it needs a dump record.
    const std::tuple<std::string, std::string, bool> cases[] = {
        // The tags of the good names not all share; the European row has its own suffix.
        {"30000001-40000001-C:45", "Rev Game (V1.0)", true},
        {"30000002-40000002-C:45", "Rev Game (V1.1)", true},
        {"30000003-40000003-C:50", "Rev Game", false},
        // Two countries without a suffix.
        {"30000004-40000004-C:58", "Lang Game (Eng-Ger)", true},
        {"30000005-40000005-C:59", "Lang Game (Fre-Ita)", true},
        {"30000006-40000006-C:45", "Kiosk Game", false},
        {"30000007-40000007-C:45", "Kiosk Game (Kiosk Demo)", true},
        {"30000008-40000008-C:45", "Case Game", false},
        {"30000009-40000009-C:45", "CASE GAME (Beta)", true},
        // A group the good name leaves open is closed.
        {"3000000A-4000000A-C:00", "Open Game", false},
        {"3000000B-4000000B-C:00", "Open Game [a1]", true},
        // Alike good names: key order, not file order, gives the Alt numbers.
        {"30000021-40000021-C:4A", "Triple Game", false},
        {"30000022-40000022-C:4A", "Triple Game (Alt 2)", true},
        {"30000023-40000023-C:4A", "Triple Game (Alt 3)", true},
        // The demo table's row keeps its title and needs no record; the other yields.
        {"7D1727F1-ABCD0000-C:00", "Pause Demo", false},
        {"3000000C-4000000C-C:00", "Pause Demo (Alt 2)", true},
        // A table name with a CRC1 the table lacks, and a key the list cannot write.
        {"1000000E-2000000E-C:45", "Some Demo", true},
        {"10000012-20000012-C:45", "Quote Key Game", true},
        {"10000015-20000015-C:45", "Colon - Spaced Out", false},
        // A homebrew image may pad its name with NULs, which its record would not match.
        {"30000031-40000031-C:00", "Homebrew Demo", true},
    };
    const auto dump = [&](const std::string& key) {
        return std::ranges::find(build.dumps, key, &DumpName::key);
    };
    for (const auto& [dumpKey, title, record] : cases) {
        ASSERT_NE(dump(dumpKey), build.dumps.end()) << dumpKey;
        EXPECT_EQ(dump(dumpKey)->title, title) << dumpKey;
        EXPECT_EQ(dump(dumpKey)->dumpRecord, record) << dumpKey;
    }
    EXPECT_TRUE(dump("1000000F-2000000F-C:45") == build.dumps.end()) << "a NUL-led name: no name";
    // A 200-byte title has no room for a tag: the clash is left, and reported.
    ASSERT_EQ(build.clashes.size(), 1u);
    EXPECT_EQ(build.clashes[0].fileName, std::string(200, 'B') + " (USA)");
    EXPECT_TRUE(summaryHas("| dump titles given variant tags of their good name | 7 |"));
    EXPECT_TRUE(summaryHas("| dump titles given an \"(Alt N)\" tag (listed below) | 3 |"));
    EXPECT_TRUE(summaryHas("BBB (USA)\": `3000000D-4000000D-C:45` `3000000E-4000000E-C:45`\n"));
}

TEST_F(NameListFromFacts, OutputDoesNotDependOnTheOrderOfTheRows) {
    std::vector<FactsRow> reversed(rows.rbegin(), rows.rend());
    const NameListBuild again = buildNameList(reversed);
    EXPECT_EQ(nameListText(again), list);
    EXPECT_EQ(nameListSummary(again, "facts.tsv"), summary);
}

TEST(FactsTable, DamagedRowsAreRefusedWithTheirLine) {
    const std::string header = "crc1\tcrc2\tcountry_hex\tinternal_name_hex\ttitle\treliable\n";
    const std::string name = "41424320202020202020202020202020202020FF";
    const std::string good = "11223344\t55667788\t45\t" + name + "\tGame\tyes\n";
    EXPECT_EQ(parseFactsTable(header + good).size(), 1u);
    EXPECT_EQ(parseFactsTable(header + good)[0].internalName,
              "ABC" + std::string(16, ' ') + "\xFF");

    const std::string damaged[] = {
        "11223344\t55667788\t45\t" + name + "\tGame\n",        // a column short
        "1122334\t55667788\t45\t" + name + "\tGame\tyes\n",    // seven digits
        "11223344\t55667788\t4G\t" + name + "\tGame\tyes\n",   // no hex digit
        "11223344\t55667788\t45\t" + name + "20\tGame\tyes\n", // 21 name bytes
        "11223344\t55667788\t45\t" + name + "\tGame\tmaybe\n", // neither yes nor no
    };
    for (const std::string& row : damaged) {
        try {
            parseFactsTable(header + good + row);
            ADD_FAILURE() << "accepted: " << row;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
        }
    }
    EXPECT_THROW(parseFactsTable("crc1\ttitle\n"), std::runtime_error); // columns missing

    // Two reliable rows of one dump key cannot both have their title.
    EXPECT_THROW(buildNameList(parseFactsTable(header + good + good)), std::runtime_error);

    // A title that is no UTF-8 stops the build, naming its line.
    const auto rows = parseFactsTable(header + good + "11223344\t55667788\t45\t" + name +
                                      "\tBad \xE9 Title\tyes\n");
    try {
        buildNameList(rows);
        ADD_FAILURE() << "accepted a title that is no UTF-8";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("line 3"), std::string::npos) << error.what();
    }
}

} // namespace
} // namespace quillmark
