#pragma once

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

} // namespace quillmark
