#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace quillmark {

// The drive list: the mounted volumes' root folders.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the drives without a change notice, and selects `current`.
    void setDrives(const std::vector<std::string>& drives, const std::string& current);

    std::string selectedDrive() const;

    // The root folders of the mounted volumes that are folders one can list.
    static std::vector<std::string> mountedDrives();
    // The root folder of the volume that holds `folder`; the root of its path
    // where no volume is known for it.
    static std::string driveOf(const std::string& folder);
};

} // namespace quillmark
