#pragma once

#include "fsys/file_failure.h"
#include "fsys/header_file.h"
#include "fsys/paths.h" // pathSeparatorFor, for callers that build the folder prefix
#include "romid/country.h"
#include "romid/name_list.h"
#include "romid/rom_identity.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillmark {

// How far one identification of one file got.
struct Identification {
    RomFormat format = RomFormat::NotRom;
    bool headerRead = false;            // the header was read and classified
    bool titleFound = false;            // the demo table or the name list gave a title
    bool renameOffered = false;         // a name was composed: the rename may be offered
    std::optional<FileFailure> failure; // what ended it early, if anything
};

// Where a title came from; the batch run shows a demo-table title at once.
enum class TitleSource { None, DemoTable, NameList };

// Reads the header of identity.romFilePath into `identity` and, for a ROM
// image, sets countrySuffix from the column `suffixes`. Throws FileFailure.
RomFormat readHeaderAndSuffix(RomIdentity& identity, SuffixSet suffixes);

// The same over header bytes already read (the batch run reads them ahead).
RomFormat interpretHeaderAndSuffix(const HeaderBytes& header, RomIdentity& identity,
                                   SuffixSet suffixes);

// The title of the ROM image read last: a dump record of `list` naming its
// CRC1, CRC2 and country first; then the demo table; then the list's
// internal-name records, only for names the table does not cover (a table
// name with an unknown CRC1 has no title). A list record whose title is empty
// or blank gives no title. Sets fullTitle and, when a title is
// found, newFileName from it and countrySuffix. Throws FileFailure when the
// list cannot be read, unless the demo table has the answer.
TitleSource findTitle(RomIdentity& identity, NameList& list);

// The single-file identification: the path joined from folder and file name,
// the header, the country with the single-file suffixes, the title, the
// composed name, the markers and the naming style, in this order, into
// `identity`. A file failure ends it where it happened and is returned, not
// thrown; the fields reached so far stay set.
Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style, NameList& list);

// The same against a list read for this one identification.
Identification identifyFile(RomIdentity& identity, const std::string& folder,
                            const std::string& fileName, NamingStyle style,
                            const std::string& listPath);

} // namespace quillmark
