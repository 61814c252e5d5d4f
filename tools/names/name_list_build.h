#pragma once

#include "facts_table.h"
#include "romid/name_list_records.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Why an internal name of the reliable rows has no record in the list.
enum class LeftOutReason {
    NulStart,      // the program reports "no internal name" whatever the list says
    Empty,         // spaces (or NULs) only: shared by unrelated images
    DemoTable,     // the built-in table answers; the list is never asked
    UnwritableKey, // a double quote, CR or LF cannot be written in a record
    EmptyTitle,    // nothing is left of any title after the title rule
};

struct LeftOutName {
    std::string key;
    LeftOutReason reason;
    std::size_t rows = 0;
    std::vector<std::string> titles; // distinct facts titles (UTF-8), sorted
};

// One distinct list title among the rows of one internal name.
struct TitleCandidate {
    std::string title; // Windows-1252, after the title rule
    std::size_t rows = 0;
    bool usaRow = false;
};

enum class ChoiceReason {
    MostRows,         // one title has the most rows
    UsaRow,           // a tie, and one tied title has a USA row
    UsaRowsSortOrder, // a tie among several titles with USA rows: the first in byte order
    SortOrder,        // a tie, no tied title has a USA row: the first in byte order
};

// An internal name whose rows carry more than one title, and the one taken.
struct TitleChoice {
    std::string key;
    std::vector<TitleCandidate> candidates; // the chosen one first, then by rows, then title
    ChoiceReason reason = ChoiceReason::MostRows;
};

// A facts title the title rule changed.
struct ChangedTitle {
    std::string source; // UTF-8
    std::string result; // Windows-1252
};

// One reliable dump and the title its own file gets.
struct DumpName {
    std::size_t line = 0;    // in the facts file
    std::string key;         // CRC1-CRC2-C:CC, as its dump record writes it
    std::string title;       // Windows-1252
    std::string suffix;      // the batch run's country suffix (UTF-8)
    bool tableTitle = false; // the built-in demo table's row: its title, never a record
    bool tagged = false;     // the good name's variant tags were added
    int alt = 0;             // our own "(Alt N)" number, 0 for none
    bool dumpRecord = false; // the demo table and internal-name record do not give the title
};

// Title and suffix that two or more dumps still share.
struct NameClash {
    std::string fileName;          // title (UTF-8) and suffix
    std::vector<std::string> keys; // of the dumps sharing it
};

struct NameListBuild {
    std::size_t rowsRead = 0;
    std::size_t reliableRows = 0;
    std::size_t reliableNames = 0;
    std::vector<NameRecord> records;     // internal-name records, sorted by key bytes
    std::vector<NameRecord> dumpRecords; // sorted by key bytes
    std::vector<DumpName> dumps;         // every reliable row but NUL-led names, by key
    std::vector<NameClash> clashes;      // sorted by file name; none is the aim
    std::vector<TitleChoice> choices;
    std::vector<LeftOutName> leftOut; // sorted by key bytes
    std::vector<ChangedTitle> changedTitles;
    int transliterated = 0;
    int dropped = 0;
};

// How titles are made distinct, in words, for the generated summary.
extern const std::string_view kDistinctTitleRuleText;

// Whether a key can be written in double quotes on one record line.
bool isWritableKey(std::string_view key);

// Whether the list should hold the name at all (not NUL-led, not empty, not a
// demo-table name) and can (a writable key); the first reason it cannot, if any.
bool listTakesName(std::string_view key, LeftOutReason* reason = nullptr);

// One record per internal name of the reliable rows: the title most rows
// share, ties to a title of a USA row, then to the first in byte order. Then
// each reliable dump's own title, made distinct (kDistinctTitleRuleText), and
// a dump record wherever the demo table and the internal-name record do not
// give it. Throws std::runtime_error when two reliable rows share a dump key.
NameListBuild buildNameList(const std::vector<FactsRow>& rows);

// The list file: quoted key and title, CR LF, no blank lines; the dump records
// first, then the internal-name records, each sorted by key.
std::string nameListText(const NameListBuild& build);

// The key of a dump record: "635A2BFF-8B022326-C:45".
std::string dumpKey(const FactsRow& row);

// The tag groups of a good name after its title: "(V1.1)", "[!]", "(Kiosk Demo)";
// a group the good name leaves open is closed.
std::vector<std::string> variantTags(std::string_view goodName, std::string_view title);

} // namespace quillmark
