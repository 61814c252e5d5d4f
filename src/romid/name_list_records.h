#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// One record of the name list: key and title, as bytes of the file.
struct NameRecord {
    std::string key;
    std::string title;
};

// The lines of a text: CR LF, LF and a lone CR each end a line. A line break
// at the very end does not start another, empty line.
std::vector<std::string_view> splitLines(std::string_view text);

// Splits name-list text into records, one per non-blank line. A quoted field
// is the text between its quotes, commas and spaces included; an unquoted one
// starts at its first non-space character and ends at the next comma or the
// end of the line, trailing spaces dropped. CR LF, LF and a lone CR are line
// ends; blank lines are skipped, and so is a UTF-8 byte-order mark at the
// start. Never fails: any bytes give some list of records.
std::vector<NameRecord> parseNameRecords(std::string_view text);

} // namespace quillmark
