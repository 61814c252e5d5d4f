#include "file_list.h"

#include "fsys/folder_listing.h"
#include "qt_text.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <algorithm>

namespace quillmark {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileList::announceChoice);
    // A click on the entry that is highlighted already shows it again.
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (!announcedSincePress_) {
            announceChoice();
        }
    });
}

void FileList::announceChoice() {
    if (rereading_) {
        return;
    }
    announcedSincePress_ = true;
    emit fileClicked();
}

void FileList::setPath(const std::string& folder) {
    path_ = folder;
    reread();
}

void FileList::reread() {
    const QScopedValueRollback<bool> quiet(rereading_, true);
    const std::string highlighted = selectedFileName();
    clear();
    names_.clear();
    names_ = listFolderFiles(path_);
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(names_.size()));
    for (const std::string& name : names_) {
        texts.push_back(pathText(name));
    }
    // All rows in one insertion: a row at a time costs the view a layout each.
    addItems(texts);
    if (!highlighted.empty()) {
        const auto found = std::lower_bound(
            names_.begin(), names_.end(), highlighted,
            [](const std::string& a, const std::string& b) { return fileNameLess(a, b); });
        if (found != names_.end() && *found == highlighted) {
            setCurrentRow(static_cast<int>(found - names_.begin()));
        }
    }
}

void FileList::highlight(const std::string& name) {
    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found != names_.end()) {
        setCurrentRow(static_cast<int>(found - names_.begin()));
        scrollToItem(currentItem());
    }
}

std::string FileList::selectedFileName() const {
    return entry(selectedRow());
}

std::string FileList::entry(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < names_.size()
               ? names_[static_cast<std::size_t>(row)]
               : std::string();
}

const std::vector<std::string>& FileList::entries() const {
    return names_;
}

int FileList::selectedRow() const {
    // The highlight, not the cursor: dragging moves the highlight before the cursor.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void FileList::keyPressEvent(QKeyEvent* event) {
    // With nothing highlighted, the first step down highlights the entry under
    // the cursor, which taking the focus puts on the first one.
    if (event->key() == Qt::Key_Down && event->modifiers() == Qt::NoModifier && selectedRow() < 0 &&
        count() > 0) {
        setCurrentRow(std::max(currentRow(), 0));
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

// Only the left button chooses; the others neither highlight nor announce.
void FileList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    announcedSincePress_ = false;
    QListWidget::mousePressEvent(event);
}

} // namespace quillmark
