#pragma once

#include "core/batch_observer.h"
#include "core/journal.h"
#include "romid/file_name.h"
#include "romid/name_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillmark {

enum class BatchOutcome {
    Finished, // every file was processed
    NoFiles,  // the list of files was empty
    Aborted,  // a file operation failed; failureCode says which
};

// The result of one run. After an abort the counters hold what was counted
// up to the failure.
struct BatchReport {
    BatchOutcome outcome = BatchOutcome::Finished;
    std::int32_t totalFiles = 0;                // entries of the list at the start
    std::int32_t romCount = 0;                  // the sum of the four counts below
    std::int32_t renamedCount = 0;              // ROM images renamed by this run
    std::int32_t unknownCount = 0;              // ROM images without a title
    std::int32_t noNameCount = 0;               // internal name starting with NUL
    std::int32_t alreadyRightCount = 0;         // already under the proposed name
    std::vector<std::string> unknownFiles;      // file names, in processing order
    std::vector<std::string> alreadyRightFiles; // file names, in processing order
    std::int32_t failureCode = 0;               // Aborted only: the failed step's code
    std::string failureDescription;             // Aborted only: what failed, and where
};

// Identifies every file of `fileNames` (bare names, in this order) in
// `folder` and renames each ROM image with a title to its proposed name under
// `rule`, unless it has it already; a zip or 7z archive (by its name) is
// identified by its one member and renamed as an archive, and one refused is
// no ROM image. The first failing file operation (reading
// a header, the name list, a rename) ends the run at once with Aborted; files
// renamed before it keep their new names, and no file is ever replaced. A
// symbolic link or special file is never read or renamed. The name list is
// read once, at the first lookup that gets to it. `observer` hears every step.
// With a journal, each rename is recorded before it is made (the first made
// durable), and the run's end after the last.
BatchReport runBatch(const std::string& folder, const std::vector<std::string>& fileNames,
                     const NamingRule& rule, BatchObserver& observer, NameList& list,
                     RunJournal* journal = nullptr);

} // namespace quillmark
