#include "core/identify.h"
#include "kit/whole_file.h"
#include "names/facts_table.h"
#include "names/name_list_build.h"
#include "romid/country.h"
#include "romid/demo_table.h"
#include "romid/file_name.h"
#include "romid/header_text.h"
#include "romid/name_list.h"
#include "romid/name_list_records.h"
#include "support/portable_file_name.h"
#include "ui/presenter/header_texts.h"

#include <gtest/gtest.h>
#include <set>

namespace quillmark {
namespace {

using test::portableFileNameProblem;

const std::string kShippedData = QUILLMARK_SHIPPED_DATA;
const std::string kShippedList = kShippedData + "/roms.ini";

std::vector<NameRecord> shippedRecords() {
    return parseNameRecords(kit::readWholeFile(kShippedList));
}

// Internal-name keys are 20 bytes; dump keys, "CRC1-CRC2-C:CC", 22.
bool isDumpKey(std::string_view key) {
    return key.size() == 22 && key.substr(17, 3) == "-C:";
}

TEST(ShippedNameList, IsOneQuotedCrLfRecordPerLineWithUniqueSortedKeys) {
    const std::string text = kit::readWholeFile(kShippedList);
    const std::vector<NameRecord> records = parseNameRecords(text);
    ASSERT_FALSE(records.empty());
    std::size_t start = 0;
    std::size_t lines = 0;
    std::string previousKey;
    bool dumpRecords = true; // they come first
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a line without CR LF at byte " << start;
        const std::string line = text.substr(start, end - start);
        ASSERT_EQ(line.find('\n'), std::string::npos) << line;
        ASSERT_GE(line.size(), 25u) << line;
        if (dumpRecords && !isDumpKey(line.substr(1, 22))) {
            dumpRecords = false;
            previousKey.clear();
        }
        const std::size_t keySize = dumpRecords ? 22 : 20;
        ASSERT_TRUE(line.front() == '"' && line.compare(keySize + 1, 3, "\",\"") == 0 &&
                    line.back() == '"')
            << line;
        const std::string key = line.substr(1, keySize);
        EXPECT_LT(previousKey, key) << "not sorted or repeated: " << key;
        EXPECT_EQ(key, records[lines].key);
        previousKey = key;
        start = end + 2;
        ++lines;
    }
    EXPECT_EQ(lines, records.size());
}

TEST(ShippedNameList, EveryRecordIsReachedByItsOwnKey) {
    NameList list(kShippedList);
    list.refresh();
    for (const NameRecord& record : shippedRecords()) {
        if (isDumpKey(record.key)) {
            continue;
        }
        const NameRecord* found = list.byInternalName(record.key);
        ASSERT_NE(found, nullptr) << record.key;
        EXPECT_EQ(found->key, record.key);
        EXPECT_EQ(found->title, windows1252ToUtf8(record.title)) << record.key;
    }
}

// Real homebrew images whose dumps the facts know are named, whether they pad
// their names with spaces or, as the flame demo does, with NULs.
TEST(ShippedNameList, NamesRealImagesOfKnownDumps) {
    NameList list(kShippedList);
    for (const char* file : {"flames.z64.hdr64", "m64p_test_rom.v64.hdr64", "rx-mm64.v64.hdr64"}) {
        const FileIdentification found = identifyFile(
            std::string(QUILLMARK_TEST_DATA) + "/real-headers/" + file, list, NamingRule{});
        ASSERT_TRUE(found.title) << file;
        EXPECT_TRUE(found.title->source == TitleSource::DumpRecord ||
                    found.title->source == TitleSource::NameRecord)
            << file;
    }
}

TEST(ShippedNameList, EveryTitleMakesAFileNameEverywhere) {
    std::set<std::string> suffixes;
    for (int byte = 0; byte < 256; ++byte) {
        suffixes.insert(countrySuffix(static_cast<std::uint8_t>(byte)));
        suffixes.insert(batchCountrySuffix(static_cast<std::uint8_t>(byte)));
    }
    ASSERT_TRUE(suffixes.count(" (Euro - Deutschland)"));
    for (const NameRecord& record : shippedRecords()) {
        const std::string title = windows1252ToUtf8(record.title);
        EXPECT_LE(title.size(), 200u) << title;
        for (const std::string& suffix : suffixes) {
            const std::string name = composeFileName(title, suffix);
            EXPECT_EQ(portableFileNameProblem(name), "") << name;
            EXPECT_EQ(portableFileNameProblem(ultraHleName(name)), "") << name;
        }
    }
}

// Every internal name of the reliable facts rows is in the list, unless the
// list must not hold it or cannot write it, and no other name is.
TEST(ShippedNameList, HoldsEveryReliableNameItCanAndNoOther) {
    std::set<std::string> expected;
    for (const FactsRow& row : readFactsTable(kShippedData + "/n64-cartridges.tsv")) {
        const std::string& name = row.internalName;
        if (row.reliable && name[0] != '\0' && name.find_first_not_of(' ') != std::string::npos &&
            !isDemoTableName(name) && name.find_first_of("\"\r\n") == std::string::npos) {
            expected.insert(name);
        }
    }
    std::set<std::string> listed;
    for (const NameRecord& record : shippedRecords()) {
        listed.insert(record.key);
    }
    std::erase_if(listed, isDumpKey);
    EXPECT_EQ(listed, expected);
}

TEST(PortableFileName, RefusesWhatSomeFileSystemRefusesOrHides) {
    EXPECT_EQ(portableFileNameProblem("Super Smash Bros..v64"), "");
    EXPECT_EQ(portableFileNameProblem("Pok\xC3\xA9mon Snap (Euro - Deutschland).v64"), "");
    for (const std::string& bad : {std::string(),
                                   std::string(256, 'a'),
                                   std::string("a\x01.v64"),
                                   std::string("a\x7F.v64"),
                                   std::string("a\xC2\x85.v64"),
                                   std::string("a/b.v64"),
                                   std::string("a\\b.v64"),
                                   std::string("a:b.v64"),
                                   std::string("a*b.v64"),
                                   std::string("a?b.v64"),
                                   std::string("a\"b.v64"),
                                   std::string("a<b.v64"),
                                   std::string("a>b.v64"),
                                   std::string("a|b.v64"),
                                   std::string(".hidden.v64"),
                                   std::string(" lead.v64"),
                                   std::string("trail."),
                                   std::string("trail "),
                                   std::string("con.v64"),
                                   std::string("LPT3 .v64"),
                                   std::string("COM\xC2\xB2.v64")}) {
        EXPECT_NE(portableFileNameProblem(bad), "") << bad;
    }
}

} // namespace
} // namespace quillmark
