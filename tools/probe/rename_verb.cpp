#include "probe_output.h"
#include "probe_verbs.h"
#include "ui/presenter/single_file_rename.h"

#include <iostream>

namespace quillmark {

namespace {

std::string_view resultName(RenameResult result) {
    switch (result) {
    case RenameResult::Renamed:
        return "renamed";
    case RenameResult::Failed:
    case RenameResult::FileChanged:
        return "failed";
    case RenameResult::Nothing:
        break;
    }
    return "nothing";
}

} // namespace

int renameVerb(const std::vector<std::string>& args, NamingStyle style) {
    if (args.size() != 2) {
        return kProbeUsageError;
    }
    RomIdentity identity;
    NameList names;
    const Identification identification = identifyFile(identity, args[0], args[1], style, names);
    printIdentification(std::cout, identity, identification);
    // The rename runs only where the window would show its button.
    RenameOutcome outcome;
    if (identification.renameOffered) {
        outcome = renameIdentifiedFile(identity);
    }
    printField(std::cout, "renameResult", resultName(outcome.result));
    printField(std::cout, "failureCode",
               outcome.failure ? outcome.failure->number() : failureNumber(identification));
    return 0;
}

} // namespace quillmark
