#include "drive_list.h"

#include "qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>

namespace quillmark {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {}

void DriveList::setDrives(const std::vector<std::string>& drives, const std::string& current) {
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& drive : drives) {
        addItem(pathText(drive), QByteArray::fromStdString(drive));
    }
    const auto found = std::find(drives.begin(), drives.end(), current);
    setCurrentIndex(found == drives.end() ? -1 : static_cast<int>(found - drives.begin()));
}

std::string DriveList::selectedDrive() const {
    return currentData().toByteArray().toStdString();
}

std::vector<std::string> DriveList::mountedDrives() {
    std::vector<std::string> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Containers bind single files as volumes; only folders can be listed.
        if (volume.isValid() && QFileInfo(volume.rootPath()).isDir()) {
            drives.push_back(pathBytes(volume.rootPath()));
        }
    }
    std::sort(drives.begin(), drives.end());
    drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
    return drives;
}

std::string DriveList::driveOf(const std::string& folder) {
    const QStorageInfo volume(pathText(folder));
    if (volume.isValid() && !volume.rootPath().isEmpty()) {
        return pathBytes(volume.rootPath());
    }
    // No mount table names the volume (a chroot whose root is no mount point,
    // or a folder gone): the root of the path, "/" or "C:/", still is a drive.
    const QString absolute = QDir(pathText(folder)).absolutePath();
    return pathBytes(absolute.left(absolute.indexOf(u'/') + 1));
}

} // namespace quillmark
