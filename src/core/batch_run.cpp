#include "batch_run.h"

#include "core/header_read_ahead.h"
#include "core/plan.h"
#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/journal_file.h"
#include "fsys/paths.h"
#include "fsys/rename_file.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <algorithm>
#include <limits>

namespace quillmark {

namespace {

std::int32_t clampedCount(std::size_t count) {
    return static_cast<std::int32_t>(
        std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max()));
}

// One run: the report being filled and the inputs that stay the same for
// every file.
class BatchRun {
public:
    BatchRun(const std::string& folder, const std::vector<std::string>& fileNames,
             const NamingRule& rule, BatchObserver& observer, NameList& list, RunJournal* journal)
        : folder_(folder), prefix_(folder + pathSeparatorFor(folder)), rule_(rule),
          observer_(observer), titles_(list), journal_(journal), headers_(prefix_, fileNames) {}

    BatchReport& report() { return report_; }

    // Identifies one file, the next of the list, and renames it when it is an
    // identified ROM image. Throws FileFailure.
    void processFile(std::size_t index, const std::string& fileName) {
        const TakenHeader taken = headers_.takeNext();
        const HeaderBytes& header = taken.header;
        const std::optional<RomHeader> rom = parseRomHeader(header);
        if (!rom) {
            observer_.fileSkipped(index, SkipReason::NotRom);
            return;
        }
        const TitleLookup title = titles_.find(*rom);
        const ProposedName name = proposeName(*rom, title, rule_, taken.archive);
        if (name.kind == NameKind::Unknown) {
            ++report_.unknownCount;
            report_.unknownFiles.push_back(fileName);
        } else if (name.kind == NameKind::NoInternalName) {
            ++report_.noNameCount;
        }
        observer_.fileIdentified(index, *rom, title, name);
        if (name.kind != NameKind::Name) {
            observer_.fileSkipped(index, name.kind == NameKind::Unknown
                                             ? SkipReason::Unknown
                                             : SkipReason::NoInternalName);
            return;
        }
        // Both paths share folder and separator, so comparing the names is
        // comparing the paths.
        if (name.name == fileName) {
            ++report_.alreadyRightCount;
            report_.alreadyRightFiles.push_back(fileName);
            observer_.fileSkipped(index, SkipReason::AlreadyNamed);
            return;
        }
        path_.assign(prefix_).append(fileName);
        // The name belongs to the file whose header was read: one swapped in
        // under its name since must not get it.
        if (!isStillFile(path_, header.stamp, LinkMode::NoFollow)) {
            throw fileChangedFailure(path_);
        }
        RenameSteps* steps = nullptr;
        std::size_t recorded = 0;
        if (journal_ != nullptr) {
            // The window renames as it identifies: each rename is recorded
            // just before it is made.
            if (!journalFolder_) {
                journalFolder_ = journal_->addFolder(folder_, header.stamp.device,
                                                     folderInode(header.stamp.device));
            }
            recorded = journal_->addFile(*journalFolder_, fileName, name.name, header.stamp,
                                         headerHash(header), taken.archive.has_value());
            journal_->beforeRenames();
            steps = journal_->stepsOf(recorded);
        }
        renameWithoutReplacing(path_, prefix_, name.name, steps);
        if (journal_ != nullptr) {
            journal_->renamed(recorded);
        }
        headers_.lastTakenRenamed();
        ++report_.renamedCount;
        observer_.fileRenamed(index, name.name);
    }

private:
    // The folder's inode, looked up once; a file's device is the folder's.
    std::uint64_t folderInode(std::uint64_t device) {
        const std::optional<FileStamp> stamp = stampAt(folder_, LinkMode::Follow);
        return stamp && stamp->device == device ? stamp->inode : 0;
    }

    const std::string folder_;
    const std::string prefix_; // folder and separator
    const NamingRule rule_;
    BatchObserver& observer_;
    TitleFinder titles_;
    RunJournal* journal_;
    std::optional<std::uint32_t> journalFolder_;
    BatchReport report_;
    std::string path_;        // of the file being renamed, reused
    HeaderReadAhead headers_; // stops its helper and closes what it opened before the run returns
};

} // namespace

BatchReport runBatch(const std::string& folder, const std::vector<std::string>& fileNames,
                     const NamingRule& rule, BatchObserver& observer, NameList& list,
                     RunJournal* journal) {
    const std::size_t count = fileNames.size();
    observer.runStarted(count);
    BatchRun run(folder, fileNames, rule, observer, list, journal);
    BatchReport& report = run.report();
    report.totalFiles = clampedCount(count);
    if (count == 0) {
        report.outcome = BatchOutcome::NoFiles;
    } else {
        std::size_t index = 0;
        try {
            for (; index < count; ++index) {
                observer.fileStarted(index, fileNames[index]);
                run.processFile(index, fileNames[index]);
            }
            report.outcome = BatchOutcome::Finished;
        } catch (const FileFailure& failure) {
            report.outcome = BatchOutcome::Aborted;
            report.failureCode = failure.number();
            report.failureDescription = failure.description();
            observer.fileFailed(index, failure);
        }
    }
    if (journal != nullptr) {
        journal->finish();
    }
    report.romCount =
        report.renamedCount + report.unknownCount + report.noNameCount + report.alreadyRightCount;
    observer.runEnded(report);
    return std::move(report);
}

} // namespace quillmark
