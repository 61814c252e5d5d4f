#include "single_file_rename.h"

#include "fsys/rename_file.h"
#include "romid/identify.h"

#include <functional>

namespace quillmark {

namespace {

// One step of the action under its failure rule: an existing target is
// reported and the action goes on; any other failure is reported and ends it.
// Returns whether the action goes on.
bool guarded(WindowView& view, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const FileFailure& failure) {
        if (failure.code() == FileFailureCode::FileAlreadyExists) {
            view.showMessage("Drive is writeprotected !", "Fehler !", BoxStyle::OkExclamation);
            return true;
        }
        view.showMessage(failure.description(), "Fehler !", BoxStyle::OkExclamation);
        return false;
    }
}

} // namespace

RenameOutcome renameIdentifiedFile(const RomIdentity& identity, const std::string& folder) {
    RenameOutcome outcome;
    if (identity.romUnknown) {
        return outcome;
    }
    try {
        // The separator is that of the folder the file goes to: after a move
        // from a root folder to another one, the root's empty separator would
        // glue the folder's name onto the file's.
        renameWithoutReplacing(identity.romFilePath, folder + pathSeparatorFor(folder),
                               identity.newFileName);
        outcome.result = RenameResult::Renamed;
    } catch (const FileFailure& failure) {
        outcome.result = RenameResult::Failed;
        outcome.failure = failure;
    }
    return outcome;
}

RenameOutcome renameSelectedFile(WindowView& view, const RomIdentity& identity,
                                 const std::string& folder) {
    const RenameOutcome outcome = renameIdentifiedFile(identity, folder);
    if (outcome.result == RenameResult::Nothing) {
        return outcome;
    }
    const auto failedRename = [&] {
        if (outcome.failure) {
            throw *outcome.failure;
        }
    };
    const auto clear = [&view](Control control) {
        return [&view, control] { view.setCaption(control, ""); };
    };
    const std::function<void()> steps[] = {
        failedRename,
        [&view] { view.rereadFileList(); },
        clear(Control::Dateiname),
        clear(Control::Dateityp),
        clear(Control::Romname),
        clear(Control::Hersteller),
        clear(Control::Cardid),
        clear(Control::Land),
        clear(Control::Namevoll),
        [&view] { view.setControlVisible(Control::Command2, false); },
        clear(Control::Nameneu),
        clear(Control::CRC),
    };
    for (const auto& step : steps) {
        if (!guarded(view, step)) {
            break;
        }
    }
    return outcome;
}

} // namespace quillmark
