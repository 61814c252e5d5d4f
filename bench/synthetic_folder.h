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

// The archive name of synthetic file `index` ("rom0000001.z64" -> "rom0000001.zip").
std::string zippedName(std::size_t index);

// Creates `folder` with `count` zip archives, one for each synthetic file:
// a single deflated member under the file's name, `memberSize` bytes long,
// that starts with the file's bytes, goes on with 32 KiB that do not
// compress (as the start of a ROM image would) and ends in zeros. Throws
// std::runtime_error on failure.
void createZippedFolder(const std::string& folder, std::size_t count,
                        std::size_t memberSize = std::size_t{1} << 20);

// Removes the folder and everything in it.
void removeFolder(const std::string& folder);

} // namespace quillmark::bench
