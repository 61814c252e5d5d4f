#pragma once

#include "romid/name_list.h"
#include "ui/presenter/rom_identity.h"
#include "ui/presenter/single_file_view.h"
#include "ui/presenter/window_undo.h"
#include "ui/presenter/window_view.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

class QFileSystemWatcher;
class QLabel;
class QProgressBar;
class QRadioButton;
class QTimer;

namespace quillmark {

class DriveList;
class FileList;
class FolderList;
struct ControlLayout;

// The one window. It owns the identification record of the whole run, shows
// one of two modes, and hands each user action to its handler.
class Form1 : public QWidget, public WindowView {
    Q_OBJECT
public:
    // The window opens in `startFolder`, or in the working folder when it is empty.
    explicit Form1(const std::string& startFolder = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Highlights `fileName` in the file list and shows it as a click does,
    // with the focus on the list; a file the list does not show is not shown.
    void showFile(const std::string& fileName);

    // Where message boxes go; nullptr puts them on screen again.
    void setMessageBoxes(MessageBoxes* boxes);

    QWidget* control(Control control) const;
    QTimer* timer() const { return timer_; }
    const RomIdentity& romIdentity() const { return identity_; }

    // WindowView. Setting a caption or visibility to what it already is does
    // nothing at all, so the mode timer's constant re-setting costs no repaint.
    void setCaption(Control control, std::string_view text) override;
    void setControlVisible(Control control, bool visible) override;
    bool isControlVisible(Control control) const override;
    void rereadFileList() override;
    void clearList(Control list) override;
    void appendToList(Control list, std::string_view entry) override;
    void setProgressValue(std::int32_t value) override;
    void paintNow(Control control) override;
    BoxButton showMessage(std::string_view text, std::string_view title, BoxStyle style) override;

public slots:
    void Form_Load();
    void Laufwerk_Change();
    void Ordner_Change();
    void Dateien_Click();
    void Dateimodus_Click();
    void Batchmodus_Click();
    void Optiondateinamennormal_Click();
    void Optiondateinamenultrahle_Click();
    void Command2_Click();
    void Batchrun_Click();
    void Command3_Click();
    void Command1_Click();
    void undoLastRun();
    void Timer1_Timer();
    // F5: the folder and file lists read again; failures are told.
    void Form_Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* createControl(const ControlLayout& layout);
    void connectHandlers();
    void setTabOrder();
    // Names, descriptions and buddies for assistive technology.
    void describeControls();
    void startNavigation(const std::string& startFolder);
    void openFolder(const std::string& folder);
    // The folder the folder list shows for a drive: the start folder on its
    // own volume, the root on every other.
    std::string folderOfDrive(const std::string& drive) const;

    void applyCaption(Control control, const QString& text);
    void applyVisible(Control control, bool visible);
    template <std::size_t N> void applyVisible(const std::array<Control, N>& group, bool visible) {
        for (const Control member : group) {
            applyVisible(member, visible);
        }
    }
    QRadioButton* option(Control control) const;
    NamingStyle namingStyle() const;
    // The mode timer rests while nothing the tick reads can change, and wakes
    // when an option button changes.
    void wakeTimer();
    void tick();
    // Lists the open folder again, keeping the highlight where it can; a
    // highlighted file that is gone takes the single-file view with it.
    // Throws FileFailure.
    void rereadLists();
    // Another program changed the open folder: the lists follow once the
    // changes have settled, never during a batch run.
    void folderChangedElsewhere();
    void followFolderChanges();
    void watchOpenFolder();

    std::array<QWidget*, kControlCount> controls_{};
    DriveList* laufwerk_ = nullptr;
    FolderList* ordner_ = nullptr;
    FileList* dateien_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QTimer* timer_ = nullptr;
    QElapsedTimer sinceActivity_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* changesSettle_ = nullptr;
    QElapsedTimer sinceFirstChange_;
    bool batchRunning_ = false;
    QPixmap background_;
    QPixmap background2x_;
    std::unique_ptr<MessageBoxes> screenBoxes_;
    MessageBoxes* boxes_ = nullptr;
    std::string startFolder_;
    // The drive of the start folder, found once at the start.
    std::string startDrive_;
    RomIdentity identity_;
    MissingListNotice missingList_;
    NameList nameList_;
    WindowRuns runs_{journalFolder()};
};

} // namespace quillmark
