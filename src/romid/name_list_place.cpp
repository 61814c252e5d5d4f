#include "name_list_place.h"

#include "fsys/file_failure.h"
#include "fsys/paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDataFolderName = "quillmark";

// Relative entries are ignored, as the data-folder convention asks.
std::string absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::string userDataFolder() {
    std::string folder = absoluteEnv("XDG_DATA_HOME");
    if (folder.empty()) {
        const std::string home = absoluteEnv("HOME");
        if (!home.empty()) {
            folder = home + "/.local/share";
        }
    }
    return folder;
}

std::vector<std::string> systemDataFolders() {
    const char* value = std::getenv("XDG_DATA_DIRS");
    const std::string_view dirs =
        value != nullptr && value[0] != '\0' ? value : "/usr/local/share:/usr/share";
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string_view entry = dirs.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/') {
            folders.emplace_back(entry);
        }
        start = end + 1;
    }
    return folders;
}

std::string listIn(const std::string& dataFolder) {
    return (fs::path(dataFolder) / kDataFolderName / kNameListFile).lexically_normal().string();
}

} // namespace

std::vector<std::string> nameListPlaces() {
    std::vector<std::string> places;
    const auto add = [&places](std::string place) {
        if (std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(std::move(place));
        }
    };
    std::error_code noFolder;
    const fs::path working = fs::current_path(noFolder);
    // Without a working folder the bare name still means "here".
    add(noFolder ? std::string(kNameListFile) : (working / kNameListFile).string());
    if (const std::string user = userDataFolder(); !user.empty()) {
        add(listIn(user));
    }
    for (const std::string& folder : systemDataFolders()) {
        add(listIn(folder));
    }
    if (const std::string program = runningProgramFolder(); !program.empty()) {
        add(listIn(program + "/../share"));
    }
    return places;
}

NameListPlace findNameList() {
    NameListPlace place;
    place.searched = nameListPlaces();
    for (const std::string& candidate : place.searched) {
        // Only a name that is not there at all lets the search go on.
        if (!isAbsent(candidate)) {
            place.path = candidate;
            break;
        }
    }
    return place;
}

std::string missingNameListText(const std::vector<std::string>& searched) {
    // Opens like every other failure of its code: the short text, then what.
    std::string text = std::string(failureText(FileFailureCode::FileNotFound)) +
                       ": no name list roms.ini in any of these places:";
    for (const std::string& place : searched) {
        text += "\n" + place;
    }
    const std::string user = userDataFolder();
    text += "\nTo add titles, put a name list roms.ini into ";
    text += user.empty()
                ? "the working folder."
                : (fs::path(user) / kDataFolderName).string() + "/ or into the working folder.";
    return text;
}

} // namespace quillmark
