#include "command_line.h"

#include "ui/credits.h"

#include <filesystem>
#include <string_view>

namespace quillmark {

namespace {

constexpr int kUsageError = 2;

constexpr std::string_view kHelp =
    "Usage: quillmark [--last-folder] [FILE | FOLDER]\n"
    "\n"
    "  FILE           open the window in FILE's folder and show FILE\n"
    "  FOLDER         open the window in FOLDER\n"
    "  --last-folder  open the window in the folder used last\n"
    "                 (the first time: the home folder)\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "Without FILE, FOLDER or --last-folder the window opens in the working folder.\n"
    "The name list roms.ini is looked for in the working folder, then in\n"
    "~/.local/share/quillmark/, then in quillmark/ of each system data folder\n"
    "(/usr/local/share, /usr/share), then in ../share/quillmark/ beside the\n"
    "program; the first one there is used.\n"
    "\n"
    "The last folder and the naming style are kept in\n"
    "~/.config/quillmark/quillmark.conf ($XDG_CONFIG_HOME instead of ~/.config);\n"
    "they are not kept when HOME is unset or relative, or when that name is not\n"
    "a regular file. F5 in the window reads the folder again; Ctrl+Z undoes the\n"
    "window's last run (batch or single file), after asking. Every run is\n"
    "recorded first in ~/.local/state/quillmark/journal/ ($XDG_STATE_HOME instead\n"
    "of ~/.local/state); quillmark-cli history and undo work on those records.\n";

int refuse(std::ostream& err, const std::string& problem) {
    err << "quillmark: " << problem << " (see quillmark --help)\n";
    return kUsageError;
}

} // namespace

std::optional<int> readCommandLine(const std::vector<std::string>& args, StartRequest& request,
                                   std::ostream& out, std::ostream& err) {
    bool optionsEnd = false;
    std::optional<std::string> place;
    for (const std::string& arg : args) {
        if (!optionsEnd && (arg == "--help" || arg == "-h")) {
            out << "quillmark " << kVersion << ": " << kDescription << ".\n" << kHelp;
            return 0;
        }
        if (!optionsEnd && (arg == "--version" || arg == "-V")) {
            out << "quillmark " << kVersion << '\n';
            return 0;
        }
        if (!optionsEnd && arg == "--last-folder") {
            request.place = StartPlace::LastFolder;
        } else if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg.size() > 1 && arg.front() == '-') {
            return refuse(err, "unknown option '" + arg + "'");
        } else if (place) {
            return refuse(err, "only one FILE or FOLDER may be given");
        } else {
            place = arg;
        }
    }
    if (place) {
        namespace fs = std::filesystem;
        std::error_code failed;
        const fs::path path = fs::absolute(*place, failed).lexically_normal();
        const bool isFolder = !failed && fs::is_directory(path, failed);
        if (!isFolder && (failed || !fs::is_regular_file(path, failed))) {
            err << "quillmark: not a file or folder: " << *place << '\n';
            return kUsageError;
        }
        // What the user named wins over the last folder.
        request.place = StartPlace::Folder;
        request.folder = isFolder ? path.string() : path.parent_path().string();
        request.file = isFolder ? std::string() : path.filename().string();
    }
    return std::nullopt;
}

} // namespace quillmark
