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

DumpId dumpIdOf(const RomIdentity& identity) {
    return DumpId{identity.crc1, identity.crc2, identity.headerBytes[kCountryByteIndex]};
}

std::size_t NameList::DumpIdHash::operator()(const DumpId& id) const noexcept {
    return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(id.crc1) << 32 | id.crc2) ^
           id.country;
}

NameList::NameList(std::string path) : path_(std::move(path)) {}

void NameList::setPath(std::string path) {
    if (path == path_) {
        return;
    }
    path_ = std::move(path);
    version_ = ReadVersion{};
    text_.clear();
    firstByKey_.clear();
    firstByDump_.clear();
    records_.clear();
}

void NameList::refresh() {
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

void NameList::takeRecord(RomIdentity& identity, std::size_t index) const {
    identity.listKey = records_[index].key;
    identity.fullTitle = records_[index].title;
}

bool NameList::titleByDump(RomIdentity& identity) const {
    const auto found = firstByDump_.find(dumpIdOf(identity));
    if (found == firstByDump_.end()) {
        return false;
    }
    takeRecord(identity, found->second);
    return true;
}

bool NameList::titleByInternalName(RomIdentity& identity) const {
    const auto found = firstByKey_.find(identity.internalName);
    const bool matched = found != firstByKey_.end();
    takeRecord(identity, matched ? found->second : records_.size() - 1);
    return matched;
}

bool lookUpTitle(RomIdentity& identity, NameList& list) {
    list.refresh();
    return list.titleByInternalName(identity);
}

bool lookUpTitle(RomIdentity& identity, const std::string& listPath) {
    NameList list(listPath);
    return lookUpTitle(identity, list);
}

} // namespace quillmark
