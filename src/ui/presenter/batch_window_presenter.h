#pragma once

#include "core/batch_run.h"
#include "fsys/file_failure.h"
#include "ui/presenter/window_undo.h"
#include "ui/presenter/window_view.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillmark {

// Shows a batch run in the window: every notification while it runs, then the
// outcome. The progress bar and the status line are painted at once whenever
// they change, and only then, since the run keeps the event loop waiting.
// The status line's text while the run goes through the files.
inline constexpr std::string_view kBatchRunningStatus = "Batchmode runs...";

// Shows a batch run in the window: every step while it runs, then the
// outcome. The progress bar and the status line are painted at once whenever
// they change, and only then, since the run keeps the event loop waiting.
class BatchWindowPresenter : public BatchObserver {
public:
    BatchWindowPresenter(WindowView& view, NamingStyle style) : view_(view), style_(style) {}

    void runStarted(std::size_t fileCount) override;
    void fileStarted(std::size_t index, std::string_view fileName) override;
    void fileIdentified(std::size_t index, const RomHeader& rom, const TitleLookup& title,
                        const ProposedName& name) override;
    void fileSkipped(std::size_t index, SkipReason reason) override;
    // After the run: the final box, counters and lists, and the file list
    // re-read for a finished run; the box of the empty folder; for an aborted
    // one the status line saying so, the failure's box and the file list re-read.
    void runEnded(const BatchReport& report) override;

private:
    void showProgress(std::int32_t value);
    void showStatus(std::string_view text);
    void showFailure(FileFailureCode code, const std::string& description);
    void rereadFileList();

    WindowView& view_;
    const NamingStyle style_;
    std::size_t fileCount_ = 0;
    std::string fileName_; // of the file being worked on
    // What this run last painted; nothing before its first change.
    std::optional<std::int32_t> progress_;
    std::optional<std::string> status_;
    std::string proposedName_; // the name of the file being renamed
};

// Progress before file `index` (from 0) of `count`: the exact share, so that
// folders of more than 100 files show progress too. The last file reads 100.
std::int32_t batchProgress(std::size_t index, std::size_t count);

// A click on "Start batchmode": runs over `fileNames` (the file list's entries
// in its order) in `folder` and shows the run and its outcome in `view`. The
// batch run writes some countries' suffixes in German.
// With `runs`, an interrupted run in the folder is finished first and the
// run is recorded, for Ctrl+Z.
BatchReport runBatchInWindow(WindowView& view, const std::string& folder,
                             const std::vector<std::string>& fileNames, NamingStyle style,
                             NameList& list, WindowRuns* runs = nullptr);

} // namespace quillmark
