#include "file_list.h"

#include "fsys/folder_listing.h"
#include "qt_text.h"

#include <QKeyEvent>

namespace quillmark {

FileList::FileList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemClicked, this, &FileList::fileClicked);
}

void FileList::setPath(const std::string& folder) {
    path_ = folder;
    reread();
}

void FileList::reread() {
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
    const QListWidgetItem* item = currentItem();
    return item != nullptr && item->isSelected() ? currentRow() : -1;
}

void FileList::keyPressEvent(QKeyEvent* event) {
    const int before = selectedRow();
    QListWidget::keyPressEvent(event);
    const int after = selectedRow();
    if (after != before && after >= 0) {
        emit fileClicked();
    }
}

} // namespace quillmark
