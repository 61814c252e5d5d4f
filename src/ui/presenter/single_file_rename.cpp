#include "single_file_rename.h"

#include "fsys/paths.h"

namespace quillmark {

namespace {

// The action's failure rule: an existing target (`newFileName`) is reported
// and the action goes on; any other failure is reported and ends it. Returns
// whether the action goes on.
bool goesOnAfter(WindowView& view, const FileFailure& failure, const std::string& newFileName) {
    if (failure.code() == FileFailureCode::FileAlreadyExists) {
        view.showMessage(nameTakenText(newFileName), kFailureTitle, BoxStyle::OkExclamation);
        return true;
    }
    view.showMessage(failure.description(), kFailureTitle, BoxStyle::OkExclamation);
    return false;
}

} // namespace

RenameOutcome renameIdentifiedFile(const RomIdentity& identity, WindowRuns* runs,
                                   WindowView* view) {
    if (identity.romUnknown) {
        return {};
    }
    // Its header was read through any link the user clicked, so what the
    // path leads to is compared; the rename then renames the link itself.
    if (runs == nullptr) {
        return renameIdentifiedFile(identity.romFilePath, identity.fileStamp, identity.newFileName,
                                    LinkMode::Follow);
    }
    const std::string& path = identity.romFilePath;
    const std::size_t cut = path.rfind(kPathSeparator);
    const std::string folder = cut == 0 ? "/" : path.substr(0, cut);
    if (view != nullptr) {
        runs->recoverBefore(*view, folder);
    }
    RunJournal journal(runs->journals(), RunKind::Single);
    RenameOutcome outcome = renameIdentifiedFile(path, identity.fileStamp, identity.newFileName,
                                                 LinkMode::Follow, journal);
    runs->ran(journal, folder, outcome.result == RenameResult::Renamed ? 1 : 0);
    return outcome;
}

RenameOutcome renameSelectedFile(WindowView& view, const RomIdentity& identity, WindowRuns* runs) {
    RenameOutcome outcome = renameIdentifiedFile(identity, runs, &view);
    if (outcome.result == RenameResult::Nothing || outcome.result == RenameResult::FileChanged) {
        return outcome;
    }
    if (outcome.failure && !goesOnAfter(view, *outcome.failure, identity.newFileName)) {
        return outcome;
    }
    try {
        view.rereadFileList();
    } catch (const FileFailure& failure) {
        if (!goesOnAfter(view, failure, identity.newFileName)) {
            return outcome;
        }
    }
    // Captions and visibility cannot fail.
    emptySingleFileView(view);
    return outcome;
}

void emptySingleFileView(WindowView& view) {
    clearCaptions(view, {Control::Dateiname, Control::Dateityp, Control::Romname,
                         Control::Hersteller, Control::Cardid, Control::Land, Control::Namevoll});
    view.setControlVisible(Control::Command2, false);
    clearCaptions(view, {Control::Nameneu, Control::CRC});
}

} // namespace quillmark
