#pragma once

#include "fsys/file_failure.h"
#include "romid/name_list.h"
#include "romid/rom_header.h"

#include <optional>
#include <string_view>

namespace quillmark {

// Where a title came from.
enum class TitleSource { None, DumpRecord, DemoTable, NameRecord };

// What looking a header's title up gave.
struct TitleLookup {
    TitleSource source = TitleSource::None;
    std::string_view title; // UTF-8; empty for None
    // The name-list record the lookup ended on: the matching one, a match
    // whose title is blank (it names no file), or the list's last record when
    // the internal-name records were searched and none matched. Null when the
    // internal-name records were not searched and no dump record matched.
    const NameRecord* record = nullptr;
};

// Looks titles up for one identification, or for one batch run: the name
// list is refreshed at the first lookup that gets to it, once, and the
// lookups stay valid while this lives. The order: a dump record naming the
// header's CRC1, CRC2 and country; then the built-in demo table; then the
// internal-name records, only for names the table does not cover (a table
// name with an unknown CRC1 has no title). A record whose title is empty or
// blank gives no title: it would name a file by its country suffix alone.
class TitleFinder {
public:
    explicit TitleFinder(NameList& list) : list_(list) {}

    // Throws FileFailure when the list is needed and cannot be read; the
    // demo table's names never need it.
    TitleLookup find(const RomHeader& rom);

private:
    NameList& list_;
    bool tried_ = false;
    std::optional<FileFailure> failure_;
};

} // namespace quillmark
