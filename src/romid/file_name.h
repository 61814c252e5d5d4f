#pragma once

#include "romid/country.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quillmark {

inline constexpr std::string_view kRomExtension = ".v64";

// How a proposed name is written: spaces kept, or spaces as underscores.
enum class NamingStyle { Normal, UltraHle };

// How names are made: the style, and the suffix a country byte gives.
struct NamingRule {
    NamingStyle style = NamingStyle::Normal;
    std::string (*suffix)(std::uint8_t country) = countrySuffix;
};

// Title, suffix and ".v64", joined as they are: no separator, no trimming.
std::string composeFileName(std::string_view fullTitle, std::string_view countrySuffix);

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

// The name for a header and its title under `rule`.
ProposedName proposeName(const RomHeader& rom, const TitleLookup& title, const NamingRule& rule);

} // namespace quillmark
