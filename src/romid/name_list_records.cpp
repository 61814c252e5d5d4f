#include "name_list_records.h"

#include <algorithm>

namespace quillmark {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads one field from `line` starting at `pos`; leaves `pos` just past the
// comma that ends it, or at the end of the line.
std::string readField(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
    std::string field;
    if (pos < line.size() && line[pos] == '"') {
        const std::size_t close = line.find('"', pos + 1);
        const std::size_t end = close == std::string_view::npos ? line.size() : close;
        field.assign(line.substr(pos + 1, end - pos - 1));
        // Anything between the closing quote and the comma is not part of the field.
        const std::size_t comma = line.find(',', end);
        pos = comma == std::string_view::npos ? line.size() : comma + 1;
        return field;
    }
    const std::size_t comma = line.find(',', pos);
    const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
    std::size_t last = end;
    while (last > pos && isBlank(line[last - 1])) {
        --last;
    }
    field.assign(line.substr(pos, last - pos));
    pos = comma == std::string_view::npos ? line.size() : comma + 1;
    return field;
}

} // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        // CR LF is one line end; a lone CR (old Mac lists) or LF is one too.
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

std::vector<NameRecord> parseNameRecords(std::string_view text) {
    // Editors that save as UTF-8 may start the file with a byte-order mark;
    // it would otherwise be part of the first key.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::vector<NameRecord> records;
    for (const std::string_view line : splitLines(text)) {
        bool blank = true;
        for (const char c : line) {
            if (!isBlank(c)) {
                blank = false;
                break;
            }
        }
        if (blank) {
            continue;
        }
        std::size_t pos = 0;
        NameRecord record;
        record.key = readField(line, pos);
        record.title = readField(line, pos);
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace quillmark
