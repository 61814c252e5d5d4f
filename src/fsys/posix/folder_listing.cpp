#include "fsys/folder_listing.h"

#include "fsys/file_failure.h"
#include "fsys/paths.h"
#include "fsys/posix/system_calls.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace quillmark {

namespace {

unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Whether the entry is of the kind (DT_REG with S_ISREG, DT_DIR with
// S_ISDIR), following links.
bool isEntryOfKind(const std::string& folder, const dirent& entry,
                   [[maybe_unused]] unsigned char type, bool (*isKind)(mode_t)) {
#ifdef _DIRENT_HAVE_D_TYPE
    if (entry.d_type == type) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
#endif
    // Links, and file systems that do not report the type, need a stat.
    const std::string path = joinPath(folder, entry.d_name);
    struct stat st {};
    return retryInterrupted([&] { return systemCalls().stat(path.c_str(), &st); }) == 0 &&
           isKind(st.st_mode);
}

bool isRegularEntry(const std::string& folder, const dirent& entry) {
    return isEntryOfKind(folder, entry, DT_REG, [](mode_t mode) { return S_ISREG(mode); });
}

bool isFolderEntry(const std::string& folder, const dirent& entry) {
    return isEntryOfKind(folder, entry, DT_DIR, [](mode_t mode) { return S_ISDIR(mode); });
}

} // namespace

bool fileNameLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = asciiLower(static_cast<unsigned char>(a[i]));
        const unsigned char cb = asciiLower(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb;
        }
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

namespace {

using OpenedFolder = std::unique_ptr<DIR, int (*)(DIR*)>;

OpenedFolder openFolder(const std::string& folder) {
    const SystemCalls& sys = systemCalls();
    DIR* raw = sys.opendir(folder.c_str());
    if (raw == nullptr) {
        throw failureFromErrno(errno, folder);
    }
    return OpenedFolder(raw, sys.closedir);
}

// Calls `take` for every entry but "." and "..".
template <typename Take> void forEachEntry(const std::string& folder, DIR* dir, Take take) {
    for (;;) {
        errno = 0;
        const dirent* entry = systemCalls().readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) {
                throw failureFromErrno(errno, folder);
            }
            return;
        }
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            take(*entry);
        }
    }
}

// The names of a folder's entries that are not hidden (leading dot) and that
// `keep` accepts, in the listing order.
template <typename Keep>
std::vector<std::string> listFolderEntries(const std::string& folder, Keep keep) {
    const OpenedFolder dir = openFolder(folder);
    std::vector<std::string> names;
    forEachEntry(folder, dir.get(), [&](const dirent& entry) {
        if (entry.d_name[0] != '.' && keep(entry)) {
            names.emplace_back(entry.d_name);
        }
    });
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return fileNameLess(a, b); });
    return names;
}

EntryKind kindOf(mode_t mode) {
    return S_ISREG(mode)   ? EntryKind::File
           : S_ISDIR(mode) ? EntryKind::Folder
           : S_ISLNK(mode) ? EntryKind::Link
                           : EntryKind::Special;
}

// The entry's kind without following it. An entry that is gone by the time
// it is looked at counts as a file: reading it will say what happened.
EntryKind entryKind(const std::string& folder, const dirent& entry) {
#ifdef _DIRENT_HAVE_D_TYPE
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Special;
    }
#endif
    const std::string path = joinPath(folder, entry.d_name);
    struct stat st {};
    return retryInterrupted([&] { return systemCalls().lstat(path.c_str(), &st); }) == 0
               ? kindOf(st.st_mode)
               : EntryKind::File;
}

} // namespace

FolderContents readFolder(const std::string& folder) {
    const OpenedFolder dir = openFolder(folder);
    FolderContents contents;
    struct stat st {};
    if (systemCalls().fstat(::dirfd(dir.get()), &st) != 0) {
        throw failureFromErrno(errno, folder);
    }
    contents.folder.device = static_cast<std::uint64_t>(st.st_dev);
    contents.folder.inode = static_cast<std::uint64_t>(st.st_ino);
    forEachEntry(folder, dir.get(), [&](const dirent& entry) {
        contents.entries.push_back({entry.d_name, entryKind(folder, entry)});
    });
    std::sort(
        contents.entries.begin(), contents.entries.end(),
        [](const FolderEntry& a, const FolderEntry& b) { return fileNameLess(a.name, b.name); });
    return contents;
}

std::vector<std::string> listFolderFiles(const std::string& folder) {
    return listFolderEntries(folder,
                             [&](const dirent& entry) { return isRegularEntry(folder, entry); });
}

std::vector<std::string> listSubfolders(const std::string& folder) {
    return listFolderEntries(folder,
                             [&](const dirent& entry) { return isFolderEntry(folder, entry); });
}

} // namespace quillmark
