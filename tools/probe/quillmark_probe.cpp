// Runs the identification and renaming core without a window, in the current working
// folder (where the name list is looked for first, as the window does), and
// prints its results as name=value lines. A file failure is a result (exit 0); bad usage exits 2.

#include "probe_verbs.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quillmark;

int usage() {
    std::cerr << "usage: quillmark-probe identify [--ultrahle] FOLDER FILE\n"
                 "       quillmark-probe rename   [--ultrahle] FOLDER FILE\n"
                 "       quillmark-probe batch    [--ultrahle] FOLDER\n";
    return kProbeUsageError;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string_view verb = argv[1];
    NamingStyle style = NamingStyle::Normal;
    std::vector<std::string> args;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--ultrahle" && args.empty()) {
            style = NamingStyle::UltraHle;
        } else {
            args.emplace_back(arg);
        }
    }
    int status = kProbeUsageError;
    if (verb == "identify") {
        status = identifyVerb(args, style);
    } else if (verb == "batch") {
        status = batchVerb(args, style);
    } else if (verb == "rename") {
        status = renameVerb(args, style);
    }
    return status == kProbeUsageError ? usage() : status;
}
