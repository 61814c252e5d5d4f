#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace quillmark {

// The file list: the files of one folder, by name. A click on an entry, or
// moving to an entry with the keyboard, is announced as a click.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    // Points the list at `folder` and lists it. The list keeps pointing there
    // even when the listing fails (FileFailure is thrown; the list is empty).
    void setPath(const std::string& folder);
    const std::string& path() const { return path_; }

    // Lists the folder again; no entry is selected afterwards.
    void reread();

    // The selected file's name, "" when none is selected.
    std::string selectedFileName() const;
    // Every entry's file name as bytes, in list order.
    const std::vector<std::string>& entries() const;

signals:
    void fileClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The row of the selected entry, -1 when none is selected.
    int selectedRow() const;
    // The file name of a row, "" for a row that does not exist.
    std::string entry(int row) const;

    std::string path_;
    // The bytes of each row's name; the rows show them decoded, in this order.
    std::vector<std::string> names_;
};

} // namespace quillmark
