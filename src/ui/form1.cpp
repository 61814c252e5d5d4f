#include "form1.h"

#include "app_settings.h"
#include "classic_frame.h"
#include "control_descriptions.h"
#include "control_layout.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_list.h"
#include "fonts.h"
#include "fsys/file_failure.h"
#include "message_box_dialogs.h"
#include "qt_text.h"
#include "ui/presenter/single_file_rename.h"
#include "value_label.h"
#include "window_texts.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <vector>

// Resources of a static library are registered by hand, outside any namespace.
static void registerAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace quillmark {

namespace {

// Changes made elsewhere in the open folder are followed once none has come
// for this long, or at the latest this long after the first.
constexpr int kChangesSettleMilliseconds = 200;
constexpr qint64 kChangesFollowedAfterMilliseconds = 1000;

std::size_t indexOf(Control control) {
    return static_cast<std::size_t>(control);
}

Qt::Alignment alignmentOf(TextAlign align) {
    switch (align) {
    case TextAlign::Centre:
        return Qt::AlignHCenter;
    case TextAlign::Right:
        return Qt::AlignRight;
    case TextAlign::Left:
        break;
    }
    return Qt::AlignLeft;
}

void paintBackground(QWidget* widget, Background background) {
    if (background == Background::Transparent) {
        return;
    }
    // Buttons and lists in the standard colour paint themselves, in the
    // toolkit's own look; labels and frames are filled.
    const bool filled =
        qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<QGroupBox*>(widget) != nullptr;
    if (background == Background::Standard && !filled) {
        return;
    }
    widget->setAutoFillBackground(true);
    // The standard colour of labels and frames is the classic button face,
    // the window's own grey, so that the two frames and their contents match.
    // Labels and frames fill with the window role, buttons with the button role.
    const QColor colour =
        QColor::fromRgb(background == Background::LightGrey ? kBandGrey : kWindowGrey);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(const std::string& startFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      screenBoxes_(std::make_unique<MessageBoxDialogs>(this)), boxes_(screenBoxes_.get()) {
    registerAssets();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(utf8Text(quillmark::windowTitle()));
    setWindowIcon(QIcon(QStringLiteral(":/assets/quillmark.ico")));
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    setFont(dialogFont());
    background_.load(QStringLiteral(":/assets/background.bmp"));

    for (const ControlLayout& layout : kControlLayouts) {
        controls_[indexOf(layout.control)] = createControl(layout);
    }
    timer_ = new QTimer(this);
    timer_->setObjectName(QString::fromLatin1(controlName(Control::Timer1)));
    timer_->setInterval(1);
    watcher_ = new QFileSystemWatcher(this);
    changesSettle_ = new QTimer(this);
    changesSettle_->setSingleShot(true);
    changesSettle_->setInterval(kChangesSettleMilliseconds);

    if (rememberedNamingStyle() == NamingStyle::UltraHle) {
        option(Control::Optiondateinamenultrahle)->setChecked(true);
    }
    connectHandlers();
    setTabOrder();
    describeControls();
    startNavigation(startFolder);
    laufwerk_->setFocus();
    Form_Load();
    wakeTimer();
}

Form1::~Form1() = default;

QWidget* Form1::createControl(const ControlLayout& layout) {
    QWidget* parent = layout.frame ? control(*layout.frame) : this;
    const QString caption = utf8Text(layout.caption);
    QWidget* widget = nullptr;
    switch (layout.kind) {
    case ControlKind::Frame:
        widget = new ClassicFrame(caption, parent);
        break;
    case ControlKind::OptionButton: {
        auto* button = new QRadioButton(caption, parent);
        button->setChecked(layout.checked);
        widget = button;
        break;
    }
    case ControlKind::Label: {
        // Labels that start empty show what the program fills in.
        auto* label = caption.isEmpty() ? new ValueLabel(parent) : new QLabel(caption, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(alignmentOf(layout.align) | Qt::AlignTop);
        widget = label;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, parent);
        // Enter and Return press the button that has the focus.
        button->setAutoDefault(true);
        widget = button;
        break;
    }
    case ControlKind::ListBox:
        widget = new QListWidget(parent);
        break;
    case ControlKind::DriveList:
        widget = laufwerk_ = new DriveList(parent);
        break;
    case ControlKind::FolderList:
        widget = ordner_ = new FolderList(parent);
        break;
    case ControlKind::FileList:
        widget = dateien_ = new FileList(parent);
        break;
    case ControlKind::Progress:
        progressBar_ = new QProgressBar(parent);
        progressBar_->setRange(0, 100);
        progressBar_->setValue(0);
        progressBar_->setTextVisible(false);
        widget = progressBar_;
        break;
    }
    widget->setObjectName(QString::fromLatin1(controlName(layout.control)));
    widget->setGeometry(pixels(layout.left), pixels(layout.top), pixels(layout.width),
                        pixels(layout.height));
    widget->setFont(fontFor(layout.font));
    paintBackground(widget, layout.background);
    // Explicitly shown or hidden, so each control's own flag is its visibility
    // from the start, before the window is first shown.
    widget->setVisible(layout.control != Control::Command2 && layout.control != Control::Batchrun);
    return widget;
}

void Form1::connectHandlers() {
    const auto onClick = [this](Control control, void (Form1::*handler)()) {
        connect(static_cast<QAbstractButton*>(this->control(control)), &QAbstractButton::clicked,
                this, handler);
    };
    onClick(Control::Dateimodus, &Form1::Dateimodus_Click);
    onClick(Control::Batchmodus, &Form1::Batchmodus_Click);
    onClick(Control::Optiondateinamennormal, &Form1::Optiondateinamennormal_Click);
    onClick(Control::Optiondateinamenultrahle, &Form1::Optiondateinamenultrahle_Click);
    onClick(Control::Command2, &Form1::Command2_Click);
    onClick(Control::Batchrun, &Form1::Batchrun_Click);
    onClick(Control::Command3, &Form1::Command3_Click);
    onClick(Control::Command1, &Form1::Command1_Click);
    connect(laufwerk_, &QComboBox::currentIndexChanged, this, &Form1::Laufwerk_Change);
    connect(ordner_, &FolderList::pathChanged, this, &Form1::Ordner_Change);
    connect(ordner_, &FolderList::openRequested, this, &Form1::openFolder);
    connect(dateien_, &FileList::fileClicked, this, &Form1::Dateien_Click);
    connect(timer_, &QTimer::timeout, this, &Form1::tick);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &Form1::Form_Refresh);
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this,
            &Form1::undoLastRun);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &Form1::folderChangedElsewhere);
    connect(changesSettle_, &QTimer::timeout, this, &Form1::followFolderChanges);
    for (const Control value :
         {Control::Dateimodus, Control::Batchmodus, Control::Optiondateinamennormal,
          Control::Optiondateinamenultrahle}) {
        connect(option(value), &QRadioButton::toggled, this, &Form1::wakeTimer);
    }
}

namespace {

// How long the mode timer goes on ticking after the last option change.
// Waking a process every millisecond costs about 2 % of a core by itself, so
// an idle window must not. The tick reads only the four option buttons, and
// each change to them announces itself, so a tick after this long would find
// everything as the last one left it.
constexpr qint64 kTimerRestAfterMilliseconds = 500;

} // namespace

void Form1::wakeTimer() {
    sinceActivity_.start();
    if (!timer_->isActive()) {
        timer_->start();
    }
}

void Form1::tick() {
    Timer1_Timer();
    if (sinceActivity_.elapsed() > kTimerRestAfterMilliseconds) {
        timer_->stop();
    }
}

void Form1::watchOpenFolder() {
    if (!watcher_->directories().isEmpty()) {
        watcher_->removePaths(watcher_->directories());
    }
    watcher_->addPath(pathText(ordner_->path()));
    changesSettle_->stop();
}

void Form1::rereadLists() {
    changesSettle_->stop();
    const std::string highlighted = dateien_->selectedFileName();
    std::optional<FileFailure> failure;
    try {
        dateien_->reread();
        ordner_->reread();
    } catch (const FileFailure& caught) {
        failure = caught;
    }
    if (!highlighted.empty() && dateien_->selectedFileName() != highlighted) {
        emptySingleFileView(*this);
    }
    if (failure) {
        throw *failure;
    }
}

void Form1::folderChangedElsewhere() {
    // Each change restarts the wait, so a burst costs one re-read; a stream
    // that never pauses is still followed every so often.
    if (!changesSettle_->isActive()) {
        sinceFirstChange_.start();
    }
    if (sinceFirstChange_.elapsed() < kChangesFollowedAfterMilliseconds) {
        changesSettle_->start();
    }
}

void Form1::followFolderChanges() {
    if (batchRunning_) {
        changesSettle_->start(); // the run reads the list itself when it ends
        return;
    }
    try {
        rereadLists();
    } catch (const FileFailure&) {
        // The folder went: the file list shows it empty; a box would come
        // out of nowhere.
    }
}

void Form1::setTabOrder() {
    std::vector<const ControlLayout*> stops;
    for (const ControlLayout& layout : kControlLayouts) {
        if (control(layout.control)->focusPolicy() & Qt::TabFocus) {
            stops.push_back(&layout);
        }
    }
    std::sort(stops.begin(), stops.end(), [](const ControlLayout* a, const ControlLayout* b) {
        return a->tabIndex < b->tabIndex;
    });
    for (std::size_t i = 1; i < stops.size(); ++i) {
        QWidget::setTabOrder(control(stops[i - 1]->control), control(stops[i]->control));
    }
}

void Form1::describeControls() {
    for (const ControlDescription& entry : kControlDescriptions) {
        QWidget* widget = control(entry.control);
        if (entry.caption) {
            auto* caption = static_cast<QLabel*>(control(*entry.caption));
            caption->setBuddy(widget);
            QString name = caption->text();
            name.chop(name.endsWith(QLatin1Char(':')) ? 1 : 0);
            widget->setAccessibleName(name);
        } else if (!entry.name.empty()) {
            widget->setAccessibleName(utf8Text(entry.name));
        }
        widget->setAccessibleDescription(utf8Text(entry.description));
    }
    // The drive list's drop-down is a list of its own.
    laufwerk_->view()->setAccessibleName(laufwerk_->accessibleName());
    laufwerk_->view()->setAccessibleDescription(laufwerk_->accessibleDescription());
}

void Form1::startNavigation(const std::string& startFolder) {
    startFolder_ = startFolder.empty() ? pathBytes(QDir::currentPath()) : startFolder;
    std::vector<std::string> drives = DriveList::mountedDrives();
    startDrive_ = DriveList::driveOf(startFolder_);
    if (std::find(drives.begin(), drives.end(), startDrive_) == drives.end()) {
        drives.insert(std::lower_bound(drives.begin(), drives.end(), startDrive_), startDrive_);
    }
    laufwerk_->setDrives(drives, startDrive_);
    try {
        ordner_->setPath(startFolder_);
    } catch (const FileFailure&) {
        // An unreadable start folder leaves the lists empty; the user picks
        // another drive or folder.
    }
}

void Form1::showFile(const std::string& fileName) {
    dateien_->highlight(fileName);
    dateien_->setFocus();
}

std::string Form1::folderOfDrive(const std::string& drive) const {
    return drive == startDrive_ ? startFolder_ : drive;
}

QWidget* Form1::control(Control control) const {
    return controls_[indexOf(control)];
}

void Form1::setMessageBoxes(MessageBoxes* boxes) {
    boxes_ = boxes != nullptr ? boxes : screenBoxes_.get();
}

void Form1::applyCaption(Control control, const QString& text) {
    auto* label = static_cast<QLabel*>(this->control(control));
    if (label->text() == text) {
        return;
    }
    if (auto* value = qobject_cast<ValueLabel*>(label)) {
        value->setValue(text);
    } else {
        label->setText(text);
    }
}

void Form1::applyVisible(Control control, bool visible) {
    QWidget* widget = this->control(control);
    if (widget->isHidden() == visible) {
        widget->setVisible(visible);
    }
}

void Form1::setCaption(Control control, std::string_view text) {
    applyCaption(control, labelText(text));
}

void Form1::setControlVisible(Control control, bool visible) {
    applyVisible(control, visible);
}

bool Form1::isControlVisible(Control control) const {
    return !this->control(control)->isHidden();
}

void Form1::rereadFileList() {
    dateien_->reread();
}

void Form1::clearList(Control list) {
    static_cast<QListWidget*>(control(list))->clear();
}

void Form1::appendToList(Control list, std::string_view entry) {
    // File names, shown the way the file list shows them.
    static_cast<QListWidget*>(control(list))->addItem(pathText(std::string(entry)));
}

void Form1::setProgressValue(std::int32_t value) {
    progressBar_->setValue(value);
}

void Form1::paintNow(Control control) {
    this->control(control)->repaint();
}

BoxButton Form1::showMessage(std::string_view text, std::string_view title, BoxStyle style) {
    return boxes_->showMessage(text, title, style);
}

QRadioButton* Form1::option(Control control) const {
    return static_cast<QRadioButton*>(this->control(control));
}

NamingStyle Form1::namingStyle() const {
    return option(Control::Optiondateinamennormal)->isChecked() ? NamingStyle::Normal
                                                                : NamingStyle::UltraHle;
}

void Form1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(kWindowGrey));
    const bool highDensity = devicePixelRatioF() > 1;
    if (highDensity && background2x_.isNull()) {
        // Drawn at twice the size for high-density screens, where the 1x
        // picture looks soft; decoded only on such a screen.
        background2x_.load(QStringLiteral(":/assets/background@2x.png"));
        background2x_.setDevicePixelRatio(2);
    }
    const QPixmap& picture = highDensity ? background2x_ : background_;
    if (!picture.isNull()) {
        // The source rectangle counts the picture's own pixels.
        const qreal ratio = picture.devicePixelRatio();
        const QRectF source(QPointF(event->rect().topLeft()) * ratio,
                            QSizeF(event->rect().size()) * ratio);
        painter.drawPixmap(QRectF(event->rect()), picture, source);
    }
}

} // namespace quillmark
