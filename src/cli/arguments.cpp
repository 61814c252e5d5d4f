#include "arguments.h"

#include <array>

namespace quillmark::cli {

const std::string_view kHelpText =
    "Usage: quillmark-cli identify [--json] [NAMING] FILE...\n"
    "       quillmark-cli plan   [--recursive] [NAMING] [--json] FOLDER...\n"
    "       quillmark-cli rename [--recursive] [NAMING] [--json] [--skip-conflicts] FOLDER...\n"
    "       quillmark-cli history [--json]\n"
    "       quillmark-cli undo [RUN]\n"
    "       quillmark-cli recover\n"
    "       quillmark-cli --help | -h | --version | -V\n"
    "\n"
    "  identify          show what each FILE's header says and the name it would get\n"
    "  plan              show what rename would do to every file of each FOLDER;\n"
    "                    changes nothing\n"
    "  rename            rename every file of each FOLDER to its proposed name\n"
    "  history           list the runs kept, newest first, with the RUN undo takes\n"
    "  undo              rename the files of RUN back to their old names, newest\n"
    "                    rename first; by default the newest run neither undone\n"
    "                    nor an undo itself (naming an undo's RUN makes it again)\n"
    "  recover           finish every run that was killed or lost its power\n"
    "\n"
    "  --recursive       the subfolders too (never through a symbolic link); every\n"
    "                    file is renamed within its own folder\n"
    "  --skip-conflicts  rename the files without a conflict and leave the others\n"
    "  --json            one JSON object per line: a file, then a summary\n"
    "NAMING:\n"
    "  --ultrahle        write spaces as underscores\n"
    "  --extension=v64   give every image the extension .v64 (the default)\n"
    "  --extension=byte-order\n"
    "                    .z64 or .v64, as the file's byte order is\n"
    "  --list FILE       read the name list FILE instead of looking for roms.ini\n"
    "\n"
    "Nothing is renamed while a conflict remains: a name another file has, a name\n"
    "two files are to get, or names equal but for letter case or Unicode\n"
    "normalisation. No file is ever replaced. Ctrl+C finishes the file being\n"
    "renamed and stops.\n"
    "\n"
    "The name list roms.ini is looked for in the working folder, then in\n"
    "~/.local/share/quillmark/, then in quillmark/ of each system data folder\n"
    "(/usr/local/share, /usr/share), then in ../share/quillmark/ beside the\n"
    "program.\n"
    "\n"
    "Every run that renames (here and in the window) is recorded first in\n"
    "~/.local/state/quillmark/journal/ ($XDG_STATE_HOME instead of\n"
    "~/.local/state); the last 50 runs, and all of the last 30 days, are kept.\n"
    "A run in a folder where one was interrupted finishes that one first. undo\n"
    "gives a file its old name back only while it is the file renamed and the\n"
    "old name is free; the others are reported. In the window, Ctrl+Z undoes\n"
    "the window's last run.\n"
    "\n"
    "Exit status: 0 all done or nothing to do, 1 partly done (undo: a file was\n"
    "skipped), 2 bad usage, no run to undo, or an error before any rename,\n"
    "3 conflicts (nothing renamed), 130 interrupted.\n";

namespace {

struct Option {
    std::string_view name;
    bool takesValue;
};

constexpr std::array kOptions{
    Option{"--json", false},     Option{"--recursive", false}, Option{"--skip-conflicts", false},
    Option{"--ultrahle", false}, Option{"--extension", true},  Option{"--list", true},
};

// Applies one option; an error message, or "".
std::string apply(Arguments& parsed, std::string_view name, const std::string& value) {
    const bool folders = parsed.command != Command::Identify;
    if (name == "--json") {
        parsed.json = true;
    } else if (name == "--ultrahle") {
        parsed.style = NamingStyle::UltraHle;
    } else if (parsed.command == Command::Undo || parsed.command == Command::Recover ||
               (parsed.command == Command::History && name != "--json")) {
        return std::string(name) + " is no option of this command";
    } else if (name == "--recursive" && folders) {
        parsed.recursive = true;
    } else if (name == "--skip-conflicts" && parsed.command == Command::Rename) {
        parsed.skipConflicts = true;
    } else if (name == "--extension") {
        if (value != "v64" && value != "byte-order") {
            return "--extension takes v64 or byte-order, not '" + value + "'";
        }
        parsed.extension = value == "v64" ? ExtensionRule::V64 : ExtensionRule::ByteOrder;
    } else if (name == "--list") {
        if (value.empty()) {
            return "--list needs a FILE";
        }
        parsed.list = value;
    } else {
        return std::string(name) + " is no option of this command";
    }
    return {};
}

} // namespace

std::variant<Arguments, std::string> parseArguments(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            return Arguments{};
        }
        if (arg == "--version" || arg == "-V") {
            Arguments version;
            version.command = Command::Version;
            return version;
        }
    }
    if (args.empty()) {
        return std::string("no command given");
    }
    Arguments parsed;
    if (args[0] == "identify") {
        parsed.command = Command::Identify;
    } else if (args[0] == "plan") {
        parsed.command = Command::Plan;
    } else if (args[0] == "rename") {
        parsed.command = Command::Rename;
    } else if (args[0] == "recover") {
        parsed.command = Command::Recover;
    } else if (args[0] == "undo") {
        parsed.command = Command::Undo;
    } else if (args[0] == "history") {
        parsed.command = Command::History;
    } else {
        return "unknown command '" + args[0] + "'";
    }
    bool optionsEnd = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
            parsed.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnd = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, equals);
        const Option* option = nullptr;
        for (const Option& known : kOptions) {
            option = known.name == name ? &known : option;
        }
        if (option == nullptr) {
            return "unknown option '" + arg + "'";
        }
        std::string value;
        if (option->takesValue && equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (option->takesValue && i + 1 < args.size()) {
            value = args[++i];
        } else if (option->takesValue || equals != std::string::npos) {
            return std::string(name) + (option->takesValue ? " needs a value" : " takes no value");
        }
        if (std::string problem = apply(parsed, name, value); !problem.empty()) {
            return problem;
        }
    }
    if (parsed.command == Command::Undo || parsed.command == Command::Recover ||
        parsed.command == Command::History) {
        const std::size_t allowed = parsed.command == Command::Undo ? 1 : 0;
        if (parsed.paths.size() > allowed) {
            return "too many arguments for " + args[0];
        }
        return parsed;
    }
    if (parsed.paths.empty()) {
        return parsed.command == Command::Identify ? "no FILE given" : "no FOLDER given";
    }
    return parsed;
}

} // namespace quillmark::cli
