#pragma once

#include "fsys/file_failure.h"
#include "rename/batch_observer.h"
#include "rename/batch_run.h"
#include "rename/window_view.h"

#include <optional>
#include <string>

namespace quillmark {

// Shows a batch run in the window: every notification while it runs, then the
// outcome. The progress bar and the status line are painted at once whenever
// they change, and only then, since the run keeps the event loop waiting.
class BatchWindowPresenter : public BatchObserver {
public:
    explicit BatchWindowPresenter(WindowView& view) : view_(view) {}

    void onRunStart() override;
    void onProgress(std::int32_t value) override;
    void onStatus(std::string_view text) override;
    void onNotRom() override;
    void onDemoTitle(std::string_view title) override;
    void onUnknownFile(std::string_view fileName) override;
    void onProposedName(std::string_view name) override;
    void onAlreadyRight(std::string_view fileName) override;

    // After the run: the final box, counters and lists, and the file list
    // re-read for a finished run; the box of the empty folder; for an aborted
    // one the status line saying so, the failure's box and the file list re-read.
    void finish(const BatchReport& report);

private:
    void showProgress(std::int32_t value);
    void showStatus(std::string_view text);
    void showFailure(FileFailureCode code, const std::string& description);
    void rereadFileList();

    WindowView& view_;
    // What this run last painted; nothing before its first change.
    std::optional<std::int32_t> progress_;
    std::optional<std::string> status_;
    std::string proposedName_; // the name of the file being renamed
};

// A click on "Start batchmode": runs over `fileNames` (the file list's entries
// in its order) in `folder` and shows the run and its outcome in `view`.
BatchReport runBatchInWindow(WindowView& view, RomIdentity& identity, const std::string& folder,
                             const std::vector<std::string>& fileNames, NamingStyle style,
                             NameList& list);

} // namespace quillmark
