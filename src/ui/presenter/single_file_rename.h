#pragma once

#include "core/rename_one.h"
#include "ui/presenter/rom_identity.h"
#include "ui/presenter/window_undo.h"
#include "ui/presenter/window_view.h"

#include <string>

namespace quillmark {

// The rename itself: nothing when the last identification found no name,
// else the file at romFilePath gets newFileName in its own folder, whatever
// folder the window shows by now: a rename never moves a file elsewhere.
// Never replaces a file, and gives no file the name made for another
// (FileChanged); never changes `identity`.
// With `runs`, an interrupted run in the file's folder is finished first and
// the rename is recorded as a run, for Ctrl+Z.
RenameOutcome renameIdentifiedFile(const RomIdentity& identity, WindowRuns* runs = nullptr,
                                   WindowView* view = nullptr);

// A click on "Rename file": the rename, then the file list re-read and the
// view emptied. A file that is already there is reported and the view is
// still emptied; any other failure is reported and leaves the view and the
// button as they are, so the user can try again. A changed file is left to
// the caller to identify again, with nothing shown.
RenameOutcome renameSelectedFile(WindowView& view, const RomIdentity& identity,
                                 WindowRuns* runs = nullptr);

// Empties every value label of the single-file view and hides "Rename file",
// as a rename leaves the view: nothing shown, nothing to rename.
void emptySingleFileView(WindowView& view);

} // namespace quillmark
