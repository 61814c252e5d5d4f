#pragma once

#include "fsys/file_failure.h"
#include "fsys/header_bytes.h"
#include "romid/file_name.h"
#include "romid/name_list.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <optional>
#include <string>

namespace quillmark {

// What identifying one file gave, as far as it got.
struct FileIdentification {
    std::optional<HeaderBytes> header;  // the bytes read; none when the file could not be read
    std::optional<RomHeader> rom;       // none: no N64 ROM image (or not read)
    std::optional<TitleLookup> title;   // none: not reached; its record points into the list
    std::optional<ProposedName> name;   // set with the title
    std::optional<FileFailure> failure; // what ended it early, if anything
};

// Reads the header of the file at `path` (following a link), and for an N64
// ROM image looks its title up in `list` and proposes its name under `rule`.
// A file failure ends it where it happened and is returned, not thrown.
FileIdentification identifyFile(const std::string& path, NameList& list, const NamingRule& rule);

} // namespace quillmark
