#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// The name list's file name, in every place it is looked for.
inline constexpr std::string_view kNameListFile = "roms.ini";

// Where the name list was found, and every place it was looked for.
struct NameListPlace {
    std::string path;                  // empty when there is none anywhere
    std::vector<std::string> searched; // full paths of roms.ini, in search order
};

// The places roms.ini is looked for, in order: the working folder, the user's
// data folder ($XDG_DATA_HOME, else ~/.local/share), each system data folder
// ($XDG_DATA_DIRS, else /usr/local/share:/usr/share), then share/ beside the
// program's own folder. Each data folder holds it in quillmark/. A place that
// appears twice is kept once.
std::vector<std::string> nameListPlaces();

// The first of nameListPlaces() where anything of that name exists: a broken
// list (unreadable, empty, a folder) is the list, and its failure is reported
// when it is read, not hidden by a list further down.
NameListPlace findNameList();

// What the user reads when there is no list anywhere: the places searched and
// how to add one.
std::string missingNameListText(const std::vector<std::string>& searched);

} // namespace quillmark
