#pragma once

#include "core/journal.h"
#include "ui/presenter/window_view.h"

#include <cstddef>
#include <string>

namespace quillmark {

// The title of the boxes of Ctrl+Z.
inline constexpr std::string_view kUndoTitle = "Undo";

// The last run made in the window, batch or single file, which Ctrl+Z takes
// back. Runs are recorded in `journals` ("" records none).
class WindowRuns {
public:
    explicit WindowRuns(std::string journals) : journals_(std::move(journals)) {}

    const std::string& journals() const { return journals_; }

    // Finishes a run that was interrupted in `folder` before the window
    // renames there; a file it could not put under one of its names is
    // reported, records that cannot be read are not.
    // True when it moved or removed a name, so that a listing taken before is stale.
    bool recoverBefore(WindowView& view, const std::string& folder);

    // After a run of the window: one that renamed `renamed` files in
    // `folder` becomes the one Ctrl+Z takes back.
    void ran(const RunJournal& journal, const std::string& folder, std::size_t renamed);

    // Ctrl+Z: asks, naming the folder and the number of files; then renames
    // them back, reports the files skipped and re-reads the file list. Once
    // taken back, a run is not offered again.
    void undoLast(WindowView& view);

private:
    std::string journals_;
    std::string lastRun_;
    std::string lastFolder_;
    std::size_t lastRenamed_ = 0;
};

} // namespace quillmark
