#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quillmark {

// Where the window opens.
enum class StartPlace {
    WorkingFolder, // no argument: started from a terminal, as always
    LastFolder,    // --last-folder: started from the menu
    Folder,        // FOLDER, or the folder of FILE
};

struct StartRequest {
    StartPlace place = StartPlace::WorkingFolder;
    std::string folder; // Folder only: absolute
    std::string file;   // FILE's name in `folder`, "" when a FOLDER was given
};

// Reads the arguments after the program name, before any window or display
// is needed: --help and --version are answered on `out`, a bad command line in
// one line on `err`. Returns the exit status when the program ends here.
std::optional<int> readCommandLine(const std::vector<std::string>& args, StartRequest& request,
                                   std::ostream& out, std::ostream& err);

} // namespace quillmark
