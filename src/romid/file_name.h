#pragma once

#include "romid/rom_identity.h"

#include <string>
#include <string_view>

namespace quillmark {

inline constexpr std::string_view kRomUnknownMarker = "ROM unknown !";
inline constexpr std::string_view kNoInternalNameMarker =
    "- ROM can not be identified ! No internal name -";
inline constexpr std::string_view kRomExtension = ".v64";

// Title, suffix and ".v64", joined as they are: no separator, no trimming.
std::string composeFileName(std::string_view fullTitle, std::string_view countrySuffix);

// Every space becomes an underscore; every other character stays.
std::string ultraHleName(std::string_view name);

// Which marker, if any, stands in place of a name.
enum class NameMarker { None, RomUnknown, NoInternalName };

// First half of settling: puts a marker into newFileName where no name can be
// offered and sets romUnknown. A name starting with NUL gets the no-name
// marker even when a title was found.
NameMarker settleMarker(RomIdentity& identity);

// Second half: the naming style, applied to markers too.
void applyNamingStyle(RomIdentity& identity, NamingStyle style);

// Both halves; returns whether a rename may be offered (romUnknown false).
bool settleNewFileName(RomIdentity& identity, NamingStyle style);

} // namespace quillmark
