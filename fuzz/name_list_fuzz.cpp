// The name-list reader fed with arbitrary list files: the record syntax, and
// the lookups, by internal name and by dump, through a real file on disk.
//
// Input: byte 0 chooses how the looked-up name is picked and which extra
// checks run, byte 1 picks the record or the length, the rest is the file.

#include "fsys/file_failure.h"
#include "fuzz_support.h"
#include "romid/header_text.h"
#include "romid/name_list.h"
#include "romid/name_list_records.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quillmark {
namespace {

using fuzz::require;

constexpr struct timespec kLongAgo = {978307200, 0}; // 2001-01-01

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The lines that hold a record, blank ones left out: with every CR LF and
// then every lone CR made an LF, the text split at LF.
std::vector<std::string> recordLines(std::string_view text) {
    std::string unified;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crBeforeLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (!crBeforeLf) {
            unified += text[i] == '\r' ? '\n' : text[i];
        }
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < unified.size()) {
        const std::size_t end = std::min(unified.find('\n', start), unified.size());
        std::string line = unified.substr(start, end - start);
        start = end + 1;
        if (!std::all_of(line.begin(), line.end(), isBlank)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// Checks that `field` is what the line holds from `pos` on, and returns where
// the next field starts (just past the comma that ends this one), or npos.
std::size_t checkField(std::string_view line, std::size_t pos, std::string_view field) {
    require(field.find_first_of("\r\n") == std::string_view::npos, "no field holds a line end");
    std::size_t start = pos;
    while (start < line.size() && isBlank(line[start])) {
        ++start;
    }
    std::size_t after;
    if (start < line.size() && line[start] == '"') {
        require(field.find('"') == std::string_view::npos, "a quoted field holds no quote");
        require(line.substr(start + 1, field.size()) == field,
                "a quoted field is the text after its opening quote");
        after = start + 1 + field.size();
        require(after == line.size() || line[after] == '"',
                "a quoted field runs to its closing quote or the end of the line");
    } else {
        require(line.substr(start, field.size()) == field,
                "an unquoted field starts at its first non-blank character");
        require(field.find(',') == std::string_view::npos, "an unquoted field holds no comma");
        require(field.empty() || (!isBlank(field.front()) && !isBlank(field.back())),
                "an unquoted field has no leading or trailing blanks");
        after = start + field.size();
        const std::size_t end = std::min(line.find(',', after), line.size());
        require(std::all_of(line.begin() + static_cast<std::ptrdiff_t>(after),
                            line.begin() + static_cast<std::ptrdiff_t>(end), isBlank),
                "only blanks are dropped from the end of an unquoted field");
    }
    const std::size_t comma = line.find(',', after);
    return comma == std::string_view::npos ? comma : comma + 1;
}

void checkRecords(std::string_view text, const std::vector<NameRecord>& records, bool lfOnly) {
    // A byte-order mark at the start is no part of the first record.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::vector<std::string> lines = recordLines(text);
    require(records.size() == lines.size(), "one record per line that is not blank");
    bool quotable = true;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::size_t titleStart = checkField(lines[i], 0, records[i].key);
        if (titleStart == std::string_view::npos) {
            require(records[i].title.empty(), "a line without a comma has no title");
        } else {
            checkField(lines[i], titleStart, records[i].title);
        }
        quotable = quotable && records[i].key.find('"') == std::string::npos &&
                   records[i].title.find('"') == std::string::npos;
    }
    if (!quotable) {
        return;
    }
    // Written back as quoted fields, the records read the same.
    std::string written;
    for (const NameRecord& record : records) {
        written += '"' + record.key + "\",\"" + record.title + '"' + (lfOnly ? "\n" : "\r\n");
    }
    const std::vector<NameRecord> reread = parseNameRecords(written);
    require(reread.size() == records.size(), "written back, the list keeps its records");
    for (std::size_t i = 0; i < records.size(); ++i) {
        require(reread[i].key == records[i].key && reread[i].title == records[i].title,
                "written back as quoted fields, every record reads the same");
    }
}

std::string lookedUpName(std::uint8_t mode, std::uint8_t pick,
                         const std::vector<NameRecord>& records, std::string_view text) {
    if (records.empty() || mode % 4 == 3) {
        // Arbitrary bytes: the end of the file itself.
        const std::size_t length = std::min<std::size_t>(pick % 32, text.size());
        return std::string(text.substr(text.size() - length));
    }
    std::string key = records[pick % records.size()].key;
    switch (mode % 4) {
    case 1: // padded as an internal name is
        if (key.size() < 20) {
            key.resize(20, ' ');
        }
        return key;
    case 2: // a near miss
        if (key.empty()) {
            return " ";
        }
        key.pop_back();
        return key;
    default:
        return key;
    }
}

// The key of dump `id` as the list writes it, upper case.
std::string dumpKeyText(const DumpId& id) {
    char key[32];
    std::snprintf(key, sizeof key, "%08X-%08X-C:%02X", static_cast<unsigned>(id.crc1),
                  static_cast<unsigned>(id.crc2), static_cast<unsigned>(id.country));
    return key;
}

std::string upperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// A key names a dump exactly when, in upper case, it is that dump's key.
void checkDumpKey(const std::string& key) {
    const std::optional<DumpId> id = parseDumpKey(key);
    if (id) {
        require(upperCase(key) == dumpKeyText(*id), "a dump key reads as the dump it writes");
        return;
    }
    const auto hexAt = [&](std::size_t from, std::size_t to) {
        return std::all_of(key.begin() + static_cast<std::ptrdiff_t>(from),
                           key.begin() + static_cast<std::ptrdiff_t>(to),
                           [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    };
    require(!(key.size() == 22 && hexAt(0, 8) && key[8] == '-' && hexAt(9, 17) && key[17] == '-' &&
              (key[18] == 'C' || key[18] == 'c') && key[19] == ':' && hexAt(20, 22)),
            "every key of the dump shape names a dump");
}

// What a lookup leaves of the record it ended on, as a scan through the list would.
struct Scan {
    std::string internalName, listKey, fullTitle, newFileName;
};

// Looks scan.internalName up: the first record of that key, else the last.
bool lookUpTitle(Scan& scan, NameList& list) {
    list.refresh();
    const NameRecord* record = list.byInternalName(scan.internalName);
    const NameRecord& ended = record != nullptr ? *record : list.lastRecord();
    scan.listKey = ended.key;
    scan.fullTitle = ended.title;
    return record != nullptr;
}

// Looks the dump up that the picked record names (or, for other keys, one
// made of its bytes) and checks the answer against the records of `text`.
void checkDumpLookUp(NameList& list, std::string_view text, std::uint8_t pick) {
    const std::vector<NameRecord> records = parseNameRecords(text);
    if (records.empty()) {
        return;
    }
    const std::string& key = records[pick % records.size()].key;
    DumpId wanted;
    if (const auto id = parseDumpKey(key)) {
        wanted = *id;
    } else {
        for (const char c : key) {
            wanted.crc1 = wanted.crc1 * 31 + static_cast<std::uint8_t>(c);
        }
        wanted.crc2 = static_cast<std::uint32_t>(key.size());
        wanted.country = pick;
    }
    Scan id{"", "earlier key", "earlier title", ""};
    list.refresh();
    const NameRecord* found = list.byDump(wanted);
    const bool matched = found != nullptr;
    if (matched) {
        id.listKey = found->key;
        id.fullTitle = found->title;
    }
    const auto first = std::find_if(records.begin(), records.end(), [&](const NameRecord& r) {
        return upperCase(r.key) == dumpKeyText(wanted);
    });
    if (first == records.end()) {
        require(!matched && id.listKey == "earlier key" && id.fullTitle == "earlier title",
                "no dump record, no match, nothing set");
        return;
    }
    require(matched && id.listKey == first->key && id.fullTitle == windows1252ToUtf8(first->title),
            "the first record naming the dump is the answer");
}

// Looks `name` up in `list` and checks the answer against the records of
// `text`, the file's contents.
void checkLookUp(NameList& list, std::string_view text, const std::string& name,
                 const char* invariant) {
    const std::vector<NameRecord> records = parseNameRecords(text);
    Scan id{name, "earlier key", "earlier title", "earlier new name"};
    bool matched = false;
    try {
        matched = lookUpTitle(id, list);
    } catch (const FileFailure& failure) {
        require(records.empty() && failure.code() == FileFailureCode::InputPastEndOfFile,
                "only a list without records fails, with 62");
        require(id.listKey == "earlier key" && id.fullTitle == "earlier title",
                "a failed lookup leaves key and title alone");
        return;
    }
    require(!records.empty(), "a list without records fails");
    const auto first = std::find_if(records.begin(), records.end(),
                                    [&](const NameRecord& r) { return r.key == name; });
    const NameRecord& expected = first != records.end() ? *first : records.back();
    if (matched != (first != records.end()) || id.listKey != expected.key ||
        id.fullTitle != windows1252ToUtf8(expected.title)) {
        std::fprintf(stderr, "looked up %zu bytes, matched %d, key %zu bytes\n", name.size(),
                     matched ? 1 : 0, id.listKey.size());
        require(false, invariant);
    }
    require(id.internalName == name && id.newFileName == "earlier new name",
            "a lookup sets key and title only");
    require(fuzz::utf8CodePoints(id.fullTitle) >= 0, "a title is valid UTF-8");
}

} // namespace
} // namespace quillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmark;
    const std::uint8_t mode = size > 0 ? data[0] : 0;
    const std::uint8_t pick = size > 1 ? data[1] : 0;
    const std::string_view text(reinterpret_cast<const char*>(data) +
                                    std::min<std::size_t>(size, 2),
                                size - std::min<std::size_t>(size, 2));

    const std::vector<NameRecord> records = parseNameRecords(text);
    checkRecords(text, records, (mode & 0x10) != 0);
    for (const NameRecord& record : records) {
        checkDumpKey(record.key);
    }

    // A fresh file name for every input, so each lookup reads and parses anew.
    static unsigned long serial = 0;
    const std::string path = fuzz::scratchFolder() + "/list-" + std::to_string(++serial) + ".ini";
    fuzz::writeFile(path, text);
    // An old stamp, so the parse is kept and the second lookup reuses it.
    fuzz::setModifiedTime(path, kLongAgo);
    const std::string name = lookedUpName(mode, pick, records, text);
    NameList list(path);
    checkLookUp(list, text, name,
                "the first record with the name, else the last record, is the answer");
    checkLookUp(list, text, lookedUpName(3, static_cast<std::uint8_t>(pick + 7), records, text),
                "a reused parse answers as a fresh one");
    checkDumpLookUp(list, text, pick);
    fuzz::removeFile(path);

    if ((mode & 0x08) != 0) {
        // An edit in place that keeps the size must be seen at once: after a
        // settled version (the edit gets a new time), and after a fresh one
        // whose time the edit shares, as a file system with a coarse clock
        // stamps it.
        const bool coarseClock = (mode & 0x20) != 0;
        const std::string same = fuzz::scratchFolder() + "/edited.ini";
        fuzz::writeFile(same, text);
        if (!coarseClock) {
            fuzz::setModifiedTime(same, kLongAgo);
        }
        NameList sameList(same);
        checkLookUp(sameList, text, name, "the list as first written is read");
        const struct timespec firstWritten = fuzz::modifiedTime(same);
        const std::string edited(text.rbegin(), text.rend());
        fuzz::writeFile(same, edited);
        if (coarseClock) {
            fuzz::setModifiedTime(same, firstWritten);
        }
        checkLookUp(sameList, edited, name, "an edit of the same size is seen at once");
        checkDumpLookUp(sameList, edited, pick);
    }
    return 0;
}
