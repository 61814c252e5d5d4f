#include "batch_window_presenter.h"

#include "fsys/file_failure.h"

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

void BatchWindowPresenter::onRunStart() {
    clearCaptions(view_, {Control::Romname, Control::Hersteller, Control::Cardid, Control::Land,
                          Control::Namevoll, Control::Nameneu});
    view_.clearList(Control::Listeschonrichtig);
    view_.clearList(Control::Listeunbekannt);
}

void BatchWindowPresenter::onProgress(std::int32_t value) {
    showProgress(value);
}

void BatchWindowPresenter::onStatus(std::string_view text) {
    showStatus(text);
}

void BatchWindowPresenter::onNotRom() {
    view_.setControlVisible(Control::Command2, false);
    view_.setCaption(Control::Nameneu, "");
}

void BatchWindowPresenter::onDemoTitle(std::string_view title) {
    view_.setCaption(Control::Namevoll, title);
}

void BatchWindowPresenter::onUnknownFile(std::string_view fileName) {
    view_.appendToList(Control::Listeunbekannt, fileName);
}

void BatchWindowPresenter::onProposedName(std::string_view name) {
    view_.setCaption(Control::Nameneu, name);
    proposedName_ = name;
}

void BatchWindowPresenter::onAlreadyRight(std::string_view fileName) {
    view_.appendToList(Control::Listeschonrichtig, fileName);
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

void BatchWindowPresenter::finish(const BatchReport& report) {
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

BatchReport runBatchInWindow(WindowView& view, RomIdentity& identity, const std::string& folder,
                             const std::vector<std::string>& fileNames, NamingStyle style,
                             NameList& list) {
    BatchWindowPresenter presenter(view);
    BatchReport report = runBatch(identity, folder, fileNames, style, presenter, list);
    presenter.finish(report);
    return report;
}

} // namespace quillmark
