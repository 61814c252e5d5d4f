#pragma once

#include "fsys/text_file.h"
#include "romid/name_list_records.h"
#include "romid/rom_header.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillmark {

// What a dump record's key names: a dump's CRC1, CRC2 and country byte.
struct DumpId {
    std::uint32_t crc1 = 0;
    std::uint32_t crc2 = 0;
    std::uint8_t country = 0;

    bool operator==(const DumpId&) const = default;
};

// The dump a key "CRC1-CRC2-C:CC" names (8, 8 and 2 hex digits, either case),
// or nothing for any other key.
std::optional<DumpId> parseDumpKey(std::string_view key);

// The dump of a header.
DumpId dumpIdOf(const RomHeader& rom);

// The name list: the one owner of where it is and what it holds, handed to
// every use that looks titles up. Each refresh() finds the file (unless it
// was given) and opens it anew, so its absence, its permissions and edits show
// at once; the parse is reused while the opened file's identity, size and
// modification time stay the same, once that stamp has settled (see
// readFileIfChanged).
class NameList {
public:
    // Looks for roms.ini in the places of nameListPlaces() at every refresh.
    NameList();
    // Always reads `path`: a list the user names.
    explicit NameList(std::string path);
    // The index points into the records: a copy would point into the original.
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;

    // The file read last, or to be read; "" when a search found none.
    const std::string& path() const { return path_; }
    // Reads `path` from now on, without searching; nothing of the old parse is kept.
    void setPath(std::string path);

    // Finds the file and brings the parse up to date. Throws FileFailure when
    // the list cannot be opened or read, or holds no record (62), or (53,
    // naming the places searched) when there is none anywhere. The lookups
    // below are then not to be used.
    void refresh();

    // Over the parse of the last successful refresh(): the first record whose
    // key names the dump, or equals the internal name, or nothing. The
    // records stay valid until the next refresh().
    const NameRecord* byDump(const DumpId& dump) const;
    const NameRecord* byInternalName(std::string_view internalName) const;
    // The list's last record: where a scan that matched nothing ends.
    const NameRecord& lastRecord() const { return records_.back(); }

private:
    struct DumpIdHash {
        std::size_t operator()(const DumpId& id) const noexcept;
    };
    void forgetParse();

    bool searches_;
    std::string path_;
    ReadVersion version_;
    std::string text_; // the bytes the records were parsed from
    std::vector<NameRecord> records_;
    // The first record of each key, so that a lookup costs the same as the
    // scan it stands for.
    std::unordered_map<std::string_view, std::size_t> firstByKey_;
    std::unordered_map<DumpId, std::size_t, DumpIdHash> firstByDump_;
};

} // namespace quillmark
