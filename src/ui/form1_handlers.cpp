// The window's event handlers: each reads the controls it needs, hands the
// work to the renaming logic and leaves the showing to it.

#include "app_settings.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_list.h"
#include "form1.h"
#include "fsys/file_failure.h"
#include "qt_text.h"
#include "ui/presenter/batch_window_presenter.h"
#include "ui/presenter/naming_style.h"
#include "ui/presenter/single_file_rename.h"
#include "ui/presenter/single_file_view.h"
#include "window_texts.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace quillmark {

namespace {

// The description texts, converted once so that each tick only compares.
struct Descriptions {
    QString singleFile = utf8Text(kSingleFileDescription);
    QString batch = utf8Text(kBatchDescription);
    QString normalNames = utf8Text(kNormalNamesDescription);
    QString ultraHleNames = utf8Text(kUltraHleNamesDescription);
};

const Descriptions& descriptions() {
    static const Descriptions texts;
    return texts;
}

} // namespace

void Form1::Form_Load() {
    identity_.romUnknown = false;
}

void Form1::Laufwerk_Change() {
    const std::string folder = folderOfDrive(laufwerk_->selectedDrive());
    for (;;) {
        try {
            ordner_->setPath(folder);
            return;
        } catch (const FileFailure& failure) {
            if (showMessage(failure.description(), kErrorTitle, BoxStyle::RetryCancel) !=
                BoxButton::Retry) {
                return;
            }
        }
    }
}

void Form1::Ordner_Change() {
    rememberFolder(ordner_->path());
    // What the view shows, and what "Rename file" would rename, is a file of
    // the folder left behind: the view goes, as after a rename.
    emptySingleFileView(*this);
    watchOpenFolder();
    try {
        dateien_->setPath(ordner_->path());
    } catch (const FileFailure& failure) {
        // The folder went away between the two listings: the file list stays
        // on it, empty, and the user learns why.
        showMessage(failure.description(), kErrorTitle, BoxStyle::OkExclamation);
    }
}

void Form1::openFolder(const std::string& folder) {
    try {
        ordner_->setPath(folder);
    } catch (const FileFailure& failure) {
        showMessage(failure.description(), kErrorTitle, BoxStyle::OkExclamation);
    }
}

void Form1::Dateien_Click() {
    const std::string fileName = dateien_->selectedFileName();
    if (fileName.empty()) {
        // Nothing highlighted: nothing shown and nothing to rename.
        emptySingleFileView(*this);
        return;
    }
    showClickedFile(*this, identity_, ordner_->path(), fileName, namingStyle(), nameList_,
                    missingList_);
}

void Form1::Dateimodus_Click() {
    clearCaptions(*this, {Control::Nameneu, Control::Romname, Control::Hersteller, Control::Cardid,
                          Control::Land, Control::Namevoll, Control::Dateiname, Control::Dateityp});
}

void Form1::Batchmodus_Click() {
    applyVisible(Control::Command2, false);
    progressBar_->setValue(0);
    applyCaption(Control::Label17, QString());
}

void Form1::Optiondateinamennormal_Click() {
    chooseNormalNames(*this, identity_);
    rememberNamingStyle(NamingStyle::Normal);
}

void Form1::Optiondateinamenultrahle_Click() {
    chooseUltraHleNames(*this, identity_);
    rememberNamingStyle(NamingStyle::UltraHle);
}

void Form1::Command2_Click() {
    if (renameSelectedFile(*this, identity_, &runs_).result == RenameResult::FileChanged) {
        showIdentifiedFileAgain(*this, identity_, namingStyle(), nameList_);
    }
}

void Form1::Batchrun_Click() {
    // On the window's thread and without returning to the event loop, so no
    // tick or click runs until the run is over; only its own message boxes
    // let events through, and the folder watcher waits for the run's end.
    const QScopedValueRollback<bool> running(batchRunning_, true);
    // The entries as they are now: the run re-reads the list at its end.
    const std::vector<std::string> fileNames = dateien_->entries();
    runBatchInWindow(*this, ordner_->path(), fileNames, namingStyle(), nameList_, &runs_);
}

void Form1::undoLastRun() {
    runs_.undoLast(*this);
}

void Form1::Command3_Click() {
    showMessage(aboutText(), kAboutTitle, BoxStyle::Ok);
}

void Form1::Command1_Click() {
    QCoreApplication::quit();
}

void Form1::Form_Refresh() {
    try {
        rereadLists();
    } catch (const FileFailure& failure) {
        showMessage(failure.description(), kErrorTitle, BoxStyle::OkExclamation);
    }
}

void Form1::Timer1_Timer() {
    const Descriptions& texts = descriptions();
    if (option(Control::Dateimodus)->isChecked()) {
        applyCaption(Control::Modusbeschreibung, texts.singleFile);
        applyVisible(Control::Dateien, true);
        applyVisible(Control::Batchrun, false);
        applyVisible(kFileDetailGroup, true);
        applyVisible(kBatchResultGroup, false);
        applyVisible(kBatchProgressGroup, false);
    } else if (option(Control::Batchmodus)->isChecked()) {
        applyCaption(Control::Modusbeschreibung, texts.batch);
        applyVisible(Control::Dateien, false);
        applyVisible(Control::Batchrun, true);
        applyVisible(kFileDetailGroup, false);
        applyVisible(kBatchProgressGroup, true);
    }
    if (option(Control::Optiondateinamennormal)->isChecked()) {
        applyCaption(Control::Namenmodus, texts.normalNames);
    } else if (option(Control::Optiondateinamenultrahle)->isChecked()) {
        applyCaption(Control::Namenmodus, texts.ultraHleNames);
    }
}

} // namespace quillmark
