// quillmark-cli: the identification and renaming core from a terminal.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

int main(int argc, char** argv) {
    using namespace quillmark::cli;
    const auto parsed = parseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "quillmark-cli: " << *problem << " (see quillmark-cli --help)\n";
        return kUsageOrEarlyError;
    }
    const Arguments& args = std::get<Arguments>(parsed);
    if (args.command == Command::Help) {
        std::cout << "quillmark-cli " QUILLMARK_VERSION
                     ": gives Nintendo 64 ROM image files their proper names.\n\n"
                  << kHelpText;
        return kAllDone;
    }
    if (args.command == Command::Version) {
        std::cout << "quillmark-cli " QUILLMARK_VERSION "\n";
        return kAllDone;
    }
    catchStopSignals();
    Console console;
    try {
        const int status = runCommand(args, console);
        return std::fflush(stdout) == 0 || status != kAllDone ? status : kPartlyDone;
    } catch (const std::exception& e) {
        console.error(e.what());
        return kPartlyDone;
    }
}
