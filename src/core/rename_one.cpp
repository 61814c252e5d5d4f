#include "rename_one.h"

#include "fsys/paths.h"
#include "fsys/rename_file.h"

namespace quillmark {

RenameOutcome renameIdentifiedFile(const std::string& path, const FileStamp& stamp,
                                   std::string_view newName, LinkMode links, RenameSteps* steps) {
    RenameOutcome outcome;
    try {
        // The name was made for the file identified: one that took its place
        // since must not get it.
        if (!isStillFile(path, stamp, links)) {
            outcome.result = RenameResult::FileChanged;
            outcome.failure = fileChangedFailure(path);
            return outcome;
        }
        renameWithoutReplacing(path, path.substr(0, path.rfind(kPathSeparator) + 1), newName,
                               steps);
        outcome.result = RenameResult::Renamed;
    } catch (const FileFailure& failure) {
        outcome.result = RenameResult::Failed;
        outcome.failure = failure;
    }
    return outcome;
}

} // namespace quillmark
