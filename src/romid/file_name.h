#pragma once

#include "fsys/archive_header.h"
#include "romid/country.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

inline constexpr std::string_view kRomExtension = ".v64";

// How a proposed name is written: spaces kept, or spaces as underscores.
enum class NamingStyle { Normal, UltraHle };

// Which extension a proposed name gets: ".v64" whatever the byte order, or
// the one that names the file's byte order (".z64", ".v64", ".n64").
enum class ExtensionRule { V64, ByteOrder };

// How names are made: the style, the suffix a country byte gives, the extension.
struct NamingRule {
    NamingStyle style = NamingStyle::Normal;
    std::string (*suffix)(std::uint8_t country) = countrySuffix;
    ExtensionRule extension = ExtensionRule::V64;
};

// Title, suffix and ".v64", joined as they are: no separator, no trimming.
std::string composeFileName(std::string_view fullTitle, std::string_view countrySuffix,
                            std::string_view extension = kRomExtension);

// The extension `rule` gives an image in `order`. An image read from an
// archive is named as an archive of its kind, whatever the rule: the archive
// is what gets the name.
std::string_view extensionFor(ByteOrder order, ExtensionRule rule,
                              std::optional<ArchiveKind> archive = std::nullopt);

// Every space becomes an underscore; every other character stays.
std::string ultraHleName(std::string_view name);

// What a ROM image may be named, or why it may not.
enum class NameKind {
    Name,           // a title was found
    Unknown,        // no title
    NoInternalName, // the internal name is empty (starts with NUL), whatever was found
};

struct ProposedName {
    NameKind kind = NameKind::Unknown;
    std::string name; // in the rule's style; empty unless kind is Name

    bool operator==(const ProposedName&) const = default;
};

// The name for a header and its title under `rule`; `archive` when the
// header is that of an archive's member.
ProposedName proposeName(const RomHeader& rom, const TitleLookup& title, const NamingRule& rule,
                         std::optional<ArchiveKind> archive = std::nullopt);

} // namespace quillmark
