#include "folder_list.h"

#include "fsys/folder_listing.h"
#include "fsys/paths.h"
#include "qt_text.h"

#include <QStyle>
#include <QStyledItemDelegate>
#include <utility>
#include <vector>

namespace quillmark {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPixels = 8;

// Indents each entry by its depth below the root, so the ancestors read as a
// path and the subfolders as the current folder's children.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.adjust(index.data(kDepthRole).toInt() * kIndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

// "/a/b/" and "/a/b" are one folder; the root keeps its separator.
std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && folder.back() == kPathSeparator) {
        folder.pop_back();
    }
    return folder;
}

struct Entry {
    std::string path;
    std::string name;
    int depth;
    bool open;
};

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        emit openRequested(item->data(kPathRole).toByteArray().toStdString());
    });
}

void FolderList::setPath(const std::string& folder) {
    const std::string target = withoutTrailingSeparator(folder);
    std::vector<std::string> subfolders = listSubfolders(target);
    if (target == path_ && subfolders == subfolders_) {
        // Listed again with nothing new: the list keeps its place.
        return;
    }

    std::vector<Entry> entries;
    std::size_t start = 0;
    int depth = 0;
    // Ancestors: the root, then each folder down to the target.
    while (start <= target.size()) {
        std::size_t end = target.find(kPathSeparator, start);
        if (end == 0) {
            entries.push_back(
                {std::string(1, kPathSeparator), std::string(1, kPathSeparator), depth++, true});
            start = 1;
            continue;
        }
        if (end == std::string::npos) {
            end = target.size();
        }
        if (end > start) {
            entries.push_back(
                {target.substr(0, end), target.substr(start, end - start), depth++, true});
        }
        start = end + 1;
    }
    const int currentRow = static_cast<int>(entries.size()) - 1;
    for (const std::string& name : subfolders) {
        entries.push_back({joinPath(target, name), name, depth, false});
    }

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    {
        const QSignalBlocker blocker(this);
        clear();
        for (const Entry& entry : entries) {
            auto* item =
                new QListWidgetItem(entry.open ? openIcon : closedIcon, pathText(entry.name), this);
            item->setData(kPathRole, QByteArray::fromStdString(entry.path));
            item->setData(kDepthRole, entry.depth);
        }
        setCurrentRow(currentRow);
    }
    // Opening the open folder again shows new subfolders, but the folder has
    // not changed: the file list keeps its entries and its highlight.
    subfolders_ = std::move(subfolders);
    if (target != path_) {
        path_ = target;
        emit pathChanged();
    }
}

} // namespace quillmark
