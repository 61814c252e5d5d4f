#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace quillmark {

// The file list: the files of one folder, by name. Every change of the
// highlighted entry the user makes, by mouse or keyboard, and a click on the
// highlighted entry, is announced as a click; a re-read is not.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    // Points the list at `folder` and lists it. The list keeps pointing there
    // even when the listing fails (FileFailure is thrown; the list is empty).
    void setPath(const std::string& folder);
    const std::string& path() const { return path_; }

    // Lists the folder again, quietly: the highlighted entry stays
    // highlighted while it is still there, and no choice is announced.
    // Throws FileFailure when the folder cannot be listed (the list is empty).
    void reread();

    // Highlights the entry `name` as the user would, which announces it as a
    // click; a name the list does not hold changes nothing.
    void highlight(const std::string& name);

    // The selected file's name, "" when none is selected.
    std::string selectedFileName() const;
    // Every entry's file name as bytes, in list order.
    const std::vector<std::string>& entries() const;

signals:
    void fileClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void announceChoice();

    // The row of the selected entry, -1 when none is selected.
    int selectedRow() const;
    // The file name of a row, "" for a row that does not exist.
    std::string entry(int row) const;

    std::string path_;
    bool rereading_ = false;
    // Whether the press that began the current click already announced a choice.
    bool announcedSincePress_ = false;
    // The bytes of each row's name; the rows show them decoded, in this order.
    std::vector<std::string> names_;
};

} // namespace quillmark
