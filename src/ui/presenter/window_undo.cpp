#include "window_undo.h"

#include "ui/presenter/message_boxes.h"

namespace quillmark {

namespace {

std::string filesText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

} // namespace

bool WindowRuns::recoverBefore(WindowView& view, const std::string& folder) {
    std::string lost;
    bool changed = false;
    try {
        for (const RecoveryReport& report : recoverRuns(journals_, {folder})) {
            for (const RecoveredFile& file : report.files) {
                changed = changed ||
                          (file.what != Recovered::NotRenamed && file.what != Recovered::Missing);
                if (file.what == Recovered::Missing) {
                    lost += "\n" + file.path + " (to be " + file.newPath + ")";
                } else if (file.what == Recovered::LeftUnderTemporary) {
                    lost += "\n" + file.path + " (now " + file.newPath + ")";
                }
            }
        }
    } catch (const FileFailure&) {
        // Records that cannot be read hold no run back: the renames are safe
        // without them, and the next run tries again.
    }
    if (!lost.empty()) {
        view.showMessage("An earlier run in this folder was interrupted. Finishing it, these "
                         "files were not found under their names:" +
                             lost,
                         kUndoTitle, BoxStyle::OkExclamation);
    }
    return changed;
}

void WindowRuns::ran(const RunJournal& journal, const std::string& folder, std::size_t renamed) {
    if (journal.written() && renamed > 0) {
        lastRun_ = journal.id();
        lastFolder_ = folder;
        lastRenamed_ = renamed;
    }
}

void WindowRuns::undoLast(WindowView& view) {
    if (lastRun_.empty()) {
        view.showMessage("There is no run of this window to undo.", kUndoTitle,
                         BoxStyle::OkInformation);
        return;
    }
    if (view.showMessage("Undo the last run in " + lastFolder_ + "?\n" + filesText(lastRenamed_) +
                             " get their old names back.",
                         kUndoTitle, BoxStyle::OkCancelQuestion) != BoxButton::Ok) {
        return;
    }
    const std::string run = std::exchange(lastRun_, {});
    std::string skipped;
    try {
        const UndoReport report = undoRun(journals_, run);
        for (const UndoneFile& file : report.files) {
            if (file.result == UndoResult::OldNameTaken) {
                skipped += "\n" + file.path + ": another file is named " + file.oldName;
            } else if (file.result != UndoResult::Restored) {
                skipped += "\n" + file.path + ": " +
                           (file.result == UndoResult::Gone      ? "not there any more"
                            : file.result == UndoResult::Changed ? "changed since"
                            : file.failure                       ? file.failure->description()
                                                                 : "not renamed");
            }
        }
    } catch (const FileFailure& failure) {
        skipped = "\n" + failure.description();
    }
    try {
        view.rereadFileList();
    } catch (const FileFailure& failure) {
        skipped += "\n" + failure.description();
    }
    if (!skipped.empty()) {
        view.showMessage("These files keep their new names:" + skipped, kUndoTitle,
                         BoxStyle::OkExclamation);
    }
}

} // namespace quillmark
