#pragma once

#include "fsys/text_file.h"
#include "romid/name_list_records.h"
#include "romid/rom_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillmark {

// The name list is read from the working folder by its bare name.
inline constexpr std::string_view kNameListFile = "roms.ini";

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

// The dump whose header was read last into `identity`.
DumpId dumpIdOf(const RomIdentity& identity);

// One name list file and its last parse. Whoever looks titles up owns one and
// passes it in. The file is opened anew by every refresh(), so its absence,
// its permissions and edits show at once; the parse is reused while the
// opened file's identity, size and modification time stay the same, once that
// stamp has settled (see readFileIfChanged).
class NameList {
public:
    explicit NameList(std::string path = std::string(kNameListFile));
    // The index points into the records: a copy would point into the original.
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;

    const std::string& path() const { return path_; }
    // Another file: nothing of the old one's parse is kept.
    void setPath(std::string path);

    // Opens the file and brings the parse up to date. Throws FileFailure when
    // the list cannot be opened or read, or holds no record (62), or (53,
    // naming the places searched) when the path is empty: no list anywhere.
    // The parse is then not to be used.
    void refresh();

    // Over the parse of the last successful refresh(): these set listKey and
    // fullTitle from the first record whose key names the identity's dump, or
    // equals its internal name; the internal-name lookup, on no match, sets
    // them from the last record of the file, as a scan would leave them.
    // Both return whether a record matched.
    bool titleByDump(RomIdentity& identity) const;
    bool titleByInternalName(RomIdentity& identity) const;

private:
    struct DumpIdHash {
        std::size_t operator()(const DumpId& id) const noexcept;
    };
    void takeRecord(RomIdentity& identity, std::size_t index) const;

    std::string path_;
    ReadVersion version_;
    std::string text_; // the bytes the records were parsed from
    std::vector<NameRecord> records_;
    // The first record of each key, so that a lookup costs the same as the
    // scan it stands for.
    std::unordered_map<std::string_view, std::size_t> firstByKey_;
    std::unordered_map<DumpId, std::size_t, DumpIdHash> firstByDump_;
};

// Refreshes `list` and looks identity.internalName up in it (see
// titleByInternalName). Throws FileFailure as refresh() does; nothing is set then.
bool lookUpTitle(RomIdentity& identity, NameList& list);

// The same against a list read for this one lookup.
bool lookUpTitle(RomIdentity& identity, const std::string& listPath);

} // namespace quillmark
