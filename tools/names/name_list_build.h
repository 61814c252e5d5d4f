#pragma once

#include "facts_table.h"
#include "fsys/name_list_records.h"

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

struct NameListBuild {
    std::size_t rowsRead = 0;
    std::size_t reliableRows = 0;
    std::size_t reliableNames = 0;
    std::vector<NameRecord> records; // sorted by key bytes
    std::vector<TitleChoice> choices;
    std::vector<LeftOutName> leftOut; // sorted by key bytes
    std::vector<ChangedTitle> changedTitles;
    int transliterated = 0;
    int dropped = 0;
};

// Whether a key can be written in double quotes on one record line.
bool isWritableKey(std::string_view key);

// Whether the list should hold the name at all (not NUL-led, not empty, not a
// demo-table name) and can (a writable key); the first reason it cannot, if any.
bool listTakesName(std::string_view key, LeftOutReason* reason = nullptr);

// One record per internal name of the reliable rows: the title most rows
// share, ties to a title of a USA row, then to the first in byte order.
NameListBuild buildNameList(const std::vector<FactsRow>& rows);

// The list file: quoted key and title, CR LF, sorted by key, no blank lines.
std::string nameListText(const NameListBuild& build);

} // namespace quillmark
