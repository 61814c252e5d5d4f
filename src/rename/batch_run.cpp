#include "batch_run.h"

#include "fsys/file_failure.h"
#include "fsys/file_stamp.h"
#include "fsys/paths.h"
#include "fsys/rename_file.h"
#include "rename/header_read_ahead.h"
#include "romid/file_name.h"
#include "romid/identify.h"

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
    BatchRun(RomIdentity& identity, const std::string& folder,
             const std::vector<std::string>& fileNames, NamingStyle style, BatchObserver& observer,
             NameList& list)
        : identity_(identity), separator_(pathSeparatorFor(folder)), prefix_(folder + separator_),
          style_(style), observer_(observer), list_(list), headers_(prefix_, fileNames) {}

    BatchReport& report() { return report_; }

    // Identifies one file, the next of the list, and renames it when it is an
    // identified ROM image. Throws FileFailure.
    void processFile(const std::string& fileName) {
        identity_.pathSeparator = separator_;
        identity_.romFilePath.assign(prefix_).append(fileName);
        identity_.newFileName.clear();

        if (interpretHeaderAndSuffix(headers_.takeNext(), identity_, SuffixSet::Batch) ==
            RomFormat::NotRom) {
            observer_.onNotRom();
            return;
        }
        if (findTitle(identity_, list_) == TitleSource::DemoTable) {
            observer_.onDemoTitle(identity_.fullTitle);
        }
        countMarker(settleMarker(identity_), fileName);
        applyNamingStyle(identity_, style_);
        observer_.onProposedName(identity_.newFileName);

        if (identity_.romUnknown) {
            return;
        }
        // Both paths share folder and separator, so comparing the names is
        // comparing the paths.
        if (identity_.newFileName != fileName) {
            // The name belongs to the file whose header was read: one swapped
            // in under its name since must not get it.
            if (!isStillFile(identity_.romFilePath, identity_.fileStamp, LinkMode::NoFollow)) {
                throw fileChangedFailure(identity_.romFilePath);
            }
            renameWithoutReplacing(identity_.romFilePath, prefix_, identity_.newFileName);
            headers_.lastTakenRenamed();
            ++report_.renamedCount;
        } else {
            ++report_.alreadyRightCount;
            report_.alreadyRightFiles.push_back(fileName);
            observer_.onAlreadyRight(fileName);
        }
    }

private:
    void countMarker(NameMarker marker, const std::string& fileName) {
        if (marker == NameMarker::RomUnknown) {
            ++report_.unknownCount;
            report_.unknownFiles.push_back(fileName);
            observer_.onUnknownFile(fileName);
        } else if (marker == NameMarker::NoInternalName) {
            ++report_.noNameCount;
        }
    }

    RomIdentity& identity_;
    const std::string separator_;
    const std::string prefix_; // folder and separator
    const NamingStyle style_;
    BatchObserver& observer_;
    NameList& list_;
    BatchReport report_;
    HeaderReadAhead headers_; // stops its helper and closes what it opened before the run returns
};

} // namespace

std::int32_t batchProgress(std::size_t index, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    // 64-bit, so that 100 · (index + 1) cannot overflow for any real list.
    const auto share = 100 * (static_cast<std::uint64_t>(index) + 1) / count;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(share, 100));
}

BatchReport runBatch(RomIdentity& identity, const std::string& folder,
                     const std::vector<std::string>& fileNames, NamingStyle style,
                     BatchObserver& observer, NameList& list) {
    identity.newFileName.clear();
    observer.onRunStart();
    observer.onProgress(0);

    BatchRun run(identity, folder, fileNames, style, observer, list);
    BatchReport& report = run.report();
    const std::size_t count = fileNames.size();
    report.totalFiles = clampedCount(count);
    if (count == 0) {
        report.outcome = BatchOutcome::NoFiles;
        return std::move(report);
    }
    try {
        for (std::size_t i = 0; i < count; ++i) {
            observer.onProgress(batchProgress(i, count));
            observer.onStatus(kBatchRunningStatus);
            run.processFile(fileNames[i]);
        }
        report.outcome = BatchOutcome::Finished;
    } catch (const FileFailure& failure) {
        report.outcome = BatchOutcome::Aborted;
        report.failureCode = failure.number();
        report.failureDescription = failure.description();
    }
    report.romCount =
        report.renamedCount + report.unknownCount + report.noNameCount + report.alreadyRightCount;
    return std::move(report);
}

} // namespace quillmark
