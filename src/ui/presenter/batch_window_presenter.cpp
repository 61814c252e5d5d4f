#include "batch_window_presenter.h"

#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/rom_identity.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

namespace quillmark {

namespace {

constexpr std::string_view kFinishedStatus = "Batchmode runs...  Finished !";
constexpr std::string_view kAbortedStatus = "Batchmode aborted !";
constexpr std::string_view kNoFilesText = "There are no files in this directory !";

// A count as the result labels show it: a space, then the digits.
std::string numberText(std::int32_t count) {
    std::string text(1, ' ');
    text += std::to_string(count);
    return text;
}

} // namespace

void BatchWindowPresenter::runStarted(std::size_t fileCount) {
    fileCount_ = fileCount;
    clearCaptions(view_, {Control::Romname, Control::Hersteller, Control::Cardid, Control::Land,
                          Control::Namevoll, Control::Nameneu});
    view_.clearList(Control::Listeschonrichtig);
    view_.clearList(Control::Listeunbekannt);
    showProgress(0);
}

void BatchWindowPresenter::fileStarted(std::size_t index, std::string_view fileName) {
    fileName_ = fileName;
    showProgress(batchProgress(index, fileCount_));
    showStatus(kBatchRunningStatus);
}

void BatchWindowPresenter::fileIdentified(std::size_t /*index*/, const RomHeader& /*rom*/,
                                          const TitleLookup& title, const ProposedName& name) {
    if (title.source == TitleSource::DemoTable) {
        view_.setCaption(Control::Namevoll, title.title);
    }
    if (name.kind == NameKind::Unknown) {
        view_.appendToList(Control::Listeunbekannt, fileName_);
    }
    proposedName_ = shownName(name, style_);
    view_.setCaption(Control::Nameneu, proposedName_);
}

void BatchWindowPresenter::fileSkipped(std::size_t /*index*/, SkipReason reason) {
    if (reason == SkipReason::NotRom) {
        view_.setControlVisible(Control::Command2, false);
        view_.setCaption(Control::Nameneu, "");
    } else if (reason == SkipReason::AlreadyNamed) {
        view_.appendToList(Control::Listeschonrichtig, fileName_);
    }
}

void BatchWindowPresenter::showProgress(std::int32_t value) {
    if (progress_ == value) {
        return;
    }
    progress_ = value;
    view_.setProgressValue(value);
    view_.paintNow(Control::ProgressBar);
}

void BatchWindowPresenter::showStatus(std::string_view text) {
    if (status_ == text) {
        return;
    }
    status_ = std::string(text);
    view_.setCaption(Control::Label17, text);
    view_.paintNow(Control::Label17);
}

void BatchWindowPresenter::showFailure(FileFailureCode code, const std::string& description) {
    switch (code) {
    case FileFailureCode::FileAlreadyExists:
        // Only a rename fails so: the name taken is the one just proposed.
        view_.showMessage(nameTakenText(proposedName_) + "\nProgress aborted !", kFailureTitle,
                          BoxStyle::OkExclamation);
        return;
    case FileFailureCode::PermissionDenied:
        view_.showMessage("Access denied ! Batchmode aborted !", kFailureTitle,
                          BoxStyle::OkExclamation);
        return;
    default:
        // Not silent: a half-done folder needs a reason.
        view_.showMessage("Batchmode aborted !\n" + description, kFailureTitle,
                          BoxStyle::OkExclamation);
        return;
    }
}

void BatchWindowPresenter::runEnded(const BatchReport& report) {
    switch (report.outcome) {
    case BatchOutcome::NoFiles:
        showStatus(kNoFilesText);
        view_.showMessage(kNoFilesText, "Alert !", BoxStyle::OkInformation);
        return;
    case BatchOutcome::Aborted:
        // The bar stays where the run stopped; the status line says it is over.
        showStatus(kAbortedStatus);
        showFailure(static_cast<FileFailureCode>(report.failureCode), report.failureDescription);
        // Files renamed before the failure have new names: the next run must
        // see the folder as it is now.
        rereadFileList();
        return;
    case BatchOutcome::Finished:
        break;
    }
    showProgress(100);
    showStatus(kFinishedStatus);
    view_.showMessage("Batchrun finished !", "Quillmark:", BoxStyle::OkInformation);

    const std::pair<Control, std::int32_t> counts[] = {
        {Control::Labelinsgesamt, report.totalFiles},
        {Control::Labelanzahlroms, report.romCount},
        {Control::Labelumbenannt, report.renamedCount},
        {Control::Labelident, report.noNameCount},
    };
    for (const Control member : kBatchResultGroup) {
        for (const auto& [label, count] : counts) {
            if (label == member) {
                view_.setCaption(label, numberText(count));
            }
        }
        view_.setControlVisible(member, true);
    }
    rereadFileList();
}

void BatchWindowPresenter::rereadFileList() {
    try {
        view_.rereadFileList();
    } catch (const FileFailure& failure) {
        // The run itself is over and its results stand; only the new listing
        // failed, so it is reported as any folder that cannot be listed.
        view_.showMessage(failure.description(), kErrorTitle, BoxStyle::OkExclamation);
    }
}

std::int32_t batchProgress(std::size_t index, std::size_t count) {
    if (count == 0) {
        return 0;
    }
    // 64-bit, so that 100 · (index + 1) cannot overflow for any real list.
    const auto share = 100 * (static_cast<std::uint64_t>(index) + 1) / count;
    return static_cast<std::int32_t>(std::min<std::uint64_t>(share, 100));
}

BatchReport runBatchInWindow(WindowView& view, const std::string& folder,
                             const std::vector<std::string>& fileNames, NamingStyle style,
                             NameList& list, WindowRuns* runs) {
    BatchWindowPresenter presenter(view, style);
    if (runs == nullptr) {
        return runBatch(folder, fileNames, NamingRule{style, batchCountrySuffix}, presenter, list);
    }
    // Finishing an interrupted run renames files of the list it was given:
    // the run then works on the folder as it is now.
    std::optional<std::vector<std::string>> listed;
    if (runs->recoverBefore(view, folder)) {
        try {
            listed = listFolderFiles(folder);
            view.rereadFileList();
        } catch (const FileFailure&) {
            // The run reports what it cannot reach, file by file.
        }
    }
    RunJournal journal(runs->journals(), RunKind::Batch);
    BatchReport report = runBatch(folder, listed ? *listed : fileNames,
                                  NamingRule{style, batchCountrySuffix}, presenter, list, &journal);
    runs->ran(journal, folder, static_cast<std::size_t>(report.renamedCount));
    return report;
}

} // namespace quillmark
