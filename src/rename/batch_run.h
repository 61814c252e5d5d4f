#pragma once

#include "rename/batch_observer.h"
#include "romid/name_list.h"
#include "romid/rom_identity.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The status line's text while the run goes through the files.
inline constexpr std::string_view kBatchRunningStatus = "Batchmode runs...";

enum class BatchOutcome {
    Finished, // every file was processed
    NoFiles,  // the file list was empty
    Aborted,  // a file operation failed; failureCode says which
};

// The result of one run. Counters start at 0 for every run; after an abort
// they hold what was counted up to the failure.
struct BatchReport {
    BatchOutcome outcome = BatchOutcome::Finished;
    std::int32_t totalFiles = 0;                // entries of the file list at the start
    std::int32_t romCount = 0;                  // the sum of the four counts below
    std::int32_t renamedCount = 0;              // ROM images renamed by this run
    std::int32_t unknownCount = 0;              // "ROM unknown !"
    std::int32_t noNameCount = 0;               // internal name starting with NUL
    std::int32_t alreadyRightCount = 0;         // already under the proposed name
    std::vector<std::string> unknownFiles;      // file names, in processing order
    std::vector<std::string> alreadyRightFiles; // file names, in processing order
    std::int32_t failureCode = 0;               // Aborted only: the failed step's code
    std::string failureDescription;             // Aborted only: what failed, and where
};

// Identifies every file of `fileNames` (bare names in the file list's order)
// in `folder` into `identity`, the window's one record, and renames each
// identified ROM image to its proposed name unless it already has it. The
// batch column of the country suffixes is used. Symbolic links are passed
// over as special files are. The first failing file operation (reading a
// header, the name list, a rename) ends the run at once with Aborted, and so
// does a file that changed between its header read and its rename; files
// renamed before it keep their new names, and no file is ever replaced.
// `observer` hears every step the window shows; titles are looked up in
// `list`.
BatchReport runBatch(RomIdentity& identity, const std::string& folder,
                     const std::vector<std::string>& fileNames, NamingStyle style,
                     BatchObserver& observer, NameList& list);

// Progress before file `index` (from 0) of `count`: the exact share, so that
// folders of more than 100 files show progress too. The last file reads 100.
std::int32_t batchProgress(std::size_t index, std::size_t count);

} // namespace quillmark
