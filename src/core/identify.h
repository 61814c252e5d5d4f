#pragma once

#include "fsys/archive_header.h"
#include "fsys/file_failure.h"
#include "fsys/header_bytes.h"
#include "romid/file_name.h"
#include "romid/name_list.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillmark {

// What an archive gave: its kind, and its member or why it was refused.
struct ArchiveReading {
    ArchiveKind kind = ArchiveKind::Zip;
    ArchiveRefusal refusal = ArchiveRefusal::None; // None: the member was read
    std::string memberName;
    std::uint64_t memberSize = 0;
};

// What identifying one file gave, as far as it got.
struct FileIdentification {
    // The bytes read: the start of the file, or of an archive's member (with
    // the archive's own stamp); a refused archive's own first bytes. None
    // when the file could not be read.
    std::optional<HeaderBytes> header;
    std::optional<ArchiveReading> archive; // set when the file was read as an archive
    std::optional<RomHeader> rom;          // none: no N64 ROM image (or not read, or refused)
    std::optional<TitleLookup> title;      // none: not reached; its record points into the list
    std::optional<ProposedName> name;      // set with the title
    std::optional<FileFailure> failure;    // what ended it early, if anything
};

// Reads the header of the file at `path` (following a link), and for an N64
// ROM image looks its title up in `list` and proposes its name under `rule`.
// A file whose name ends in ".zip" or ".7z" (any case) is read as an archive:
// the header is that of its one member, and the name proposed keeps the
// archive's extension. A file failure ends it where it happened and is
// returned, not thrown.
FileIdentification identifyFile(const std::string& path, NameList& list, const NamingRule& rule);

} // namespace quillmark
