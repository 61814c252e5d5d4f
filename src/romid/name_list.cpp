#include "name_list.h"

#include "fsys/file_failure.h"
#include "fsys/name_list_records.h"
#include "fsys/text_file.h"
#include "romid/header_text.h"
#include "romid/name_list_place.h"

#include <unordered_map>
#include <vector>

namespace quillmark {

namespace {

// One parsed state of one list file, with the index of the first record of
// each key: a lookup then costs the same as the scan it stands for.
struct ParsedList {
    std::string path;
    FileStamp stamp;
    std::string text; // the bytes the records were parsed from
    std::vector<NameRecord> records;
    std::unordered_map<std::string_view, std::size_t> firstIndex;
};

ParsedList& cachedList() {
    static ParsedList list;
    return list;
}

const ParsedList& currentList(const std::string& path) {
    ParsedList& list = cachedList();
    if (list.path != path) {
        list = ParsedList{};
        list.path = path;
    }
    FileStamp stamp = list.stamp;
    std::optional<std::string> contents;
    try {
        contents = readFileIfChanged(path, stamp);
    } catch (...) {
        list.stamp = FileStamp{};
        throw;
    }
    if (contents) {
        list.stamp = stamp;
    }
    // A freshly edited list is read again on every lookup until its stamp has
    // settled; parsing it again is only needed when its bytes changed.
    if (contents && *contents != list.text) {
        list.text = std::move(*contents);
        list.firstIndex.clear(); // its keys point into the old records
        list.records = parseNameRecords(list.text);
        for (NameRecord& record : list.records) {
            // Titles become file names: store them in the file-name encoding.
            record.title = windows1252ToUtf8(record.title);
        }
        list.firstIndex.reserve(list.records.size());
        for (std::size_t i = 0; i < list.records.size(); ++i) {
            list.firstIndex.try_emplace(list.records[i].key, i);
        }
    }
    if (list.records.empty()) {
        throw FileFailure(FileFailureCode::InputPastEndOfFile,
                          std::string(failureText(FileFailureCode::InputPastEndOfFile)) + ": " +
                              path);
    }
    return list;
}

} // namespace

bool lookUpTitle(RomIdentity& identity, const std::string& listPath) {
    if (listPath.empty()) {
        throw FileFailure(FileFailureCode::FileNotFound, missingNameListText(nameListPlaces()));
    }
    const ParsedList& list = currentList(listPath);
    const auto found = list.firstIndex.find(identity.internalName);
    const bool matched = found != list.firstIndex.end();
    const NameRecord& record = matched ? list.records[found->second] : list.records.back();
    identity.listKey = record.key;
    identity.fullTitle = record.title;
    return matched;
}

} // namespace quillmark
