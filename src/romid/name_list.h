#pragma once

#include "romid/rom_identity.h"

#include <string>
#include <string_view>

namespace quillmark {

// The name list is read from the working folder by its bare name.
inline constexpr std::string_view kNameListFile = "roms.ini";

// Looks identity.internalName up in the name list at `listPath`, which is
// opened anew for every lookup and closed however it ends. listKey and
// fullTitle hold the record read last: the first match, or after no match the
// last record of the file. Returns whether a record matched. Throws
// FileFailure when the list cannot be opened or read, or holds no record (62);
// an empty `listPath` means no list was found anywhere (53, naming the places).
//
// The file is parsed once and the parse reused while the opened file's
// identity, size and modification time stay the same, once that time is
// safely in the past (see readFileIfChanged).
bool lookUpTitle(RomIdentity& identity, const std::string& listPath = std::string(kNameListFile));

} // namespace quillmark
