#include "rename_one.h"

#include "core/journal.h"
#include "fsys/archive_header.h"
#include "fsys/journal_file.h"
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

RenameOutcome renameIdentifiedFile(const std::string& path, const FileStamp& stamp,
                                   std::string_view newName, LinkMode links, RunJournal& journal) {
    std::size_t recorded = 0;
    RenameSteps* steps = nullptr;
    try {
        const std::size_t cut = path.rfind(kPathSeparator);
        const std::string folder = cut == 0 ? "/" : path.substr(0, cut);
        const std::string oldName = path.substr(cut + 1);
        const bool archive = archiveKindByName(oldName).has_value();
        const auto identity = fileIdentity(path, archive);
        const std::optional<FileStamp> folderStamp = stampAt(folder, LinkMode::Follow);
        if (identity && folderStamp && oldName != newName) {
            recorded =
                journal.addFile(journal.addFolder(folder, folderStamp->device, folderStamp->inode),
                                oldName, newName, identity->first, identity->second, archive);
            journal.beforeRenames();
            steps = journal.stepsOf(recorded);
        }
    } catch (const FileFailure&) {
        // A file that cannot be read is refused by the rename itself.
    }
    RenameOutcome outcome = renameIdentifiedFile(path, stamp, newName, links, steps);
    if (steps != nullptr && outcome.result == RenameResult::Renamed) {
        journal.renamed(recorded);
    }
    journal.finish();
    return outcome;
}

} // namespace quillmark
