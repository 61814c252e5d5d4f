#pragma once

#include "romid/file_name.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quillmark::cli {

enum class Command { Identify, Plan, Rename, Recover, Undo, History, Help, Version };

struct Arguments {
    Command command = Command::Help;
    bool json = false;
    bool recursive = false;
    bool skipConflicts = false;
    NamingStyle style = NamingStyle::Normal;
    ExtensionRule extension = ExtensionRule::V64;
    std::optional<std::string> list; // the name list the user names
    std::vector<std::string> paths;  // FILEs for identify, the RUN for undo, FOLDERs otherwise
};

// The command line (without the program's name), or what is wrong with it.
std::variant<Arguments, std::string> parseArguments(const std::vector<std::string>& args);

// What --help prints.
extern const std::string_view kHelpText;

} // namespace quillmark::cli
