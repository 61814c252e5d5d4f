#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillmark::bench {

// One file of a synthetic ROM folder: its name, its bytes, and the name a
// batch run gives it ("" when the run leaves its name alone).
struct SyntheticFile {
    std::string name;
    std::string bytes;
    std::string target;
    bool looksUpName = false; // a ROM image the name list is asked about
};

// The mix of each ten files: six known ROM images under other names, one
// already under its proposed name, one with a demo-table name (the first ten
// with a CRC1 of the table, the rest unknown), one unknown or without
// internal name, and one that is no ROM image. Byte orders alternate. Every
// known image gets a name of its own, so a run over the folder never meets
// an existing name.
SyntheticFile syntheticFile(std::size_t index);

// The name list for a folder of `count` files: a record for every known
// image's game, padded with records of games not in the folder to at least
// `minimumRecords`. CR LF line ends, quoted fields.
std::string syntheticNameList(std::size_t count, std::size_t minimumRecords);

// The number of records syntheticNameList writes.
std::size_t syntheticRecordCount(std::size_t count, std::size_t minimumRecords);

// Creates `folder` with the `count` files. Throws std::runtime_error on failure.
void createSyntheticFolder(const std::string& folder, std::size_t count);

// Removes the folder and everything in it.
void removeFolder(const std::string& folder);

} // namespace quillmark::bench
