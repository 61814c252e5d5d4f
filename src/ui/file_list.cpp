#include "file_list.h"

#include "fsys/folder_listing.h"
#include "qt_text.h"

#include <QKeyEvent>

namespace quillmark {

namespace {

constexpr int kNameRole = Qt::UserRole;

} // namespace

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
    for (const std::string& name : listFolderFiles(path_)) {
        auto* item = new QListWidgetItem(pathText(name), this);
        item->setData(kNameRole, QByteArray::fromStdString(name));
    }
}

std::string FileList::selectedFileName() const {
    return entry(selectedRow());
}

std::string FileList::entry(int row) const {
    const QListWidgetItem* found = item(row);
    return found != nullptr ? found->data(kNameRole).toByteArray().toStdString() : std::string();
}

std::vector<std::string> FileList::entries() const {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count()));
    for (int row = 0; row < count(); ++row) {
        names.push_back(entry(row));
    }
    return names;
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
