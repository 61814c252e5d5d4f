#include "drive_list.h"

#include "qt_text.h"

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
    return pathBytes(QStorageInfo(pathText(folder)).rootPath());
}

} // namespace quillmark
