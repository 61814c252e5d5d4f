#include "name_list.h"

#include "fsys/file_failure.h"
#include "romid/header_text.h"
#include "romid/name_list_place.h"

namespace quillmark {

namespace {

// `digits` hex digits of `text` from `pos` as a number, or nothing.
std::optional<std::uint32_t> hexValue(std::string_view text, std::size_t pos, std::size_t digits) {
    std::uint32_t value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

} // namespace

std::optional<DumpId> parseDumpKey(std::string_view key) {
    // "635A2BFF-8B022326-C:45": 22 bytes, two more than an internal name, so
    // no such key is ever taken for one.
    if (key.size() != 22 || key[8] != '-' || key[17] != '-' || (key[18] != 'C' && key[18] != 'c') ||
        key[19] != ':') {
        return std::nullopt;
    }
    const auto crc1 = hexValue(key, 0, 8);
    const auto crc2 = hexValue(key, 9, 8);
    const auto country = hexValue(key, 20, 2);
    if (!crc1 || !crc2 || !country) {
        return std::nullopt;
    }
    return DumpId{*crc1, *crc2, static_cast<std::uint8_t>(*country)};
}

DumpId dumpIdOf(const RomHeader& rom) {
    return DumpId{rom.crc1, rom.crc2, rom.country};
}

std::size_t NameList::DumpIdHash::operator()(const DumpId& id) const noexcept {
    return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.crc1) << 32 | id.crc2) ^
           id.country;
}

NameList::NameList() : searches_(true) {}

NameList::NameList(std::string path) : searches_(false), path_(std::move(path)) {}

void NameList::forgetParse() {
    version_ = ReadVersion{};
    text_.clear();
    firstByKey_.clear();
    firstByDump_.clear();
    records_.clear();
}

void NameList::setPath(std::string path) {
    searches_ = false;
    if (path != path_) {
        path_ = std::move(path);
        forgetParse();
    }
}

void NameList::refresh() {
    if (searches_) {
        std::string found = findNameList().path;
        if (found != path_) {
            path_ = std::move(found);
            forgetParse();
        }
    }
    if (path_.empty()) {
        throw FileFailure(FileFailureCode::FileNotFound, missingNameListText(nameListPlaces()));
    }
    ReadVersion version = version_;
    std::optional<std::string> contents;
    try {
        contents = readFileIfChanged(path_, version, text_);
    } catch (...) {
        version_ = ReadVersion{};
        throw;
    }
    if (contents) {
        version_ = version;
    }
    // A freshly edited list is read again on every lookup until its stamp has
    // settled; parsing it again is only needed when its bytes changed.
    if (contents && *contents != text_) {
        text_ = std::move(*contents);
        firstByKey_.clear(); // its keys point into the old records
        firstByDump_.clear();
        records_ = parseNameRecords(text_);
        firstByKey_.reserve(records_.size());
        for (std::size_t i = 0; i < records_.size(); ++i) {
            NameRecord& record = records_[i];
            // Titles become file names: store them in the file-name encoding.
            record.title = windows1252ToUtf8(record.title);
            firstByKey_.try_emplace(record.key, i);
            if (const auto dump = parseDumpKey(record.key)) {
                firstByDump_.try_emplace(*dump, i);
            }
        }
    }
    if (records_.empty()) {
        throw FileFailure(FileFailureCode::InputPastEndOfFile,
                          std::string(failureText(FileFailureCode::InputPastEndOfFile)) + ": " +
                              path_);
    }
}

const NameRecord* NameList::byDump(const DumpId& dump) const {
    const auto found = firstByDump_.find(dump);
    return found == firstByDump_.end() ? nullptr : &records_[found->second];
}

const NameRecord* NameList::byInternalName(std::string_view internalName) const {
    const auto found = firstByKey_.find(internalName);
    return found == firstByKey_.end() ? nullptr : &records_[found->second];
}

} // namespace quillmark
