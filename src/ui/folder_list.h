#pragma once

#include <QListWidget>
#include <string>
#include <vector>

namespace quillmark {

// The folder list: the current folder under its ancestors, then its
// subfolders. Opening an entry (double click or Enter) asks for that folder;
// the window then sets the path.
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    // Lists `folder` and makes it the current one, then announces the change,
    // if it is one: the folder that was current already is only listed again.
    // Throws FileFailure when the folder cannot be listed; nothing changes then.
    void setPath(const std::string& folder);
    const std::string& path() const { return path_; }

    // Lists the current folder again, for subfolders made or removed since.
    // Throws FileFailure when it cannot be listed; nothing changes then.
    void reread() { setPath(path_); }

signals:
    void pathChanged();
    void openRequested(const std::string& folder);

private:
    std::string path_;
    std::vector<std::string> subfolders_; // as listed last, in list order
};

} // namespace quillmark
