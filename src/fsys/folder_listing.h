#pragma once

#include "file_stamp.h"

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The names (without folder) of the regular files in a folder and of links to
// regular files; folders, special files and hidden files (leading dot) are
// left out. Sorted by name ignoring ASCII letter case, ties by the exact bytes.
// The window's file list and the batch run both use this one listing.
// Throws FileFailure when the folder cannot be read.
std::vector<std::string> listFolderFiles(const std::string& folder);

// The names of the subfolders of a folder (links to folders included), hidden
// ones left out, in the same order. The window's folder list uses it.
// Throws FileFailure when the folder cannot be read.
std::vector<std::string> listSubfolders(const std::string& folder);

// The listing order: ASCII letter case ignored, then the exact bytes.
bool fileNameLess(std::string_view a, std::string_view b);

// What a folder's entry is, as the entry itself says: a link is not followed.
enum class EntryKind : unsigned char { File, Folder, Link, Special };

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::File;
};

// Every entry of a folder but "." and "..", hidden ones and folders
// included, in the listing order, with the folder's own identity (device
// and inode; size and time are left 0). No link is followed and no entry
// opened. Throws FileFailure when the folder cannot be read.
struct FolderContents {
    FileStamp folder;
    std::vector<FolderEntry> entries;
};
FolderContents readFolder(const std::string& folder);

} // namespace quillmark
