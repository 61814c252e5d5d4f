#include "run_history.h"

#include "cli/commands.h"
#include "cli/file_report.h"

#include <ctime>

namespace quillmark::cli {

namespace {

std::string utcTime(std::int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string_view recoveredText(Recovered what) {
    switch (what) {
    case Recovered::NotRenamed:
        return "not renamed, keeps its old name";
    case Recovered::Renamed:
        return "renamed";
    case Recovered::OldLinkRemoved:
        return "renamed; its old name, a second link, removed";
    case Recovered::BackToOldName:
        return "back under its old name from a temporary one";
    case Recovered::Missing:
        return "MISSING: under neither name, not looked for elsewhere";
    case Recovered::LeftUnderTemporary:
        return "left under a temporary name: neither name was free";
    }
    return {};
}

std::string_view undoText(UndoResult result) {
    switch (result) {
    case UndoResult::Restored:
        return "back under its old name";
    case UndoResult::OldNameTaken:
        return "skipped: another file has its old name";
    case UndoResult::Changed:
        return "skipped: it changed since it was renamed";
    case UndoResult::Gone:
        return "skipped: nothing has its new name any more";
    case UndoResult::Failed:
        return "skipped: the rename failed";
    }
    return {};
}

int history(const Arguments& args, Console& console, const std::string& journals) {
    const std::vector<RunSummary> runs = runHistory(journals);
    if (!args.json && runs.empty()) {
        console.out("no runs recorded in " + journals + "\n");
    } else if (!args.json) {
        console.out(
            "RUN                     TIME                  KIND    FILES RENAMED  STATE      "
            "FOLDER\n");
    }
    for (const RunSummary& run : runs) {
        if (args.json) {
            console.out("{\"run\":" + jsonString(run.id) + ",\"time\":" +
                        jsonString(utcTime(run.started)) + ",\"folder\":" + jsonString(run.folder) +
                        ",\"files\":" + std::to_string(run.files) +
                        ",\"renamed\":" + std::to_string(run.renamed) +
                        ",\"finished\":" + (run.finished ? "true" : "false") +
                        ",\"undone\":" + (run.undone ? "true" : "false") + "}\n");
            continue;
        }
        char line[128];
        std::snprintf(line, sizeof line, "%-23s %-21s %-7s %5zu %7zu  %-10s ", run.id.c_str(),
                      utcTime(run.started).c_str(), std::string(runKindName(run.kind)).c_str(),
                      run.files, run.renamed,
                      run.undone     ? "undone"
                      : run.finished ? "finished"
                                     : "unfinished");
        console.out(line + shownText(run.folder) + "\n");
    }
    return kAllDone;
}

int recover(Console& console, const std::string& journals) {
    const std::vector<RecoveryReport> reports = recoverRuns(journals);
    if (reports.empty()) {
        console.out("nothing to recover: every run recorded has finished\n");
        return kAllDone;
    }
    bool missing = false;
    for (const RecoveryReport& report : reports) {
        console.out("run " + report.run + ": finished from the files as they are\n");
        for (const RecoveredFile& file : report.files) {
            missing = missing || file.what == Recovered::Missing;
            std::string line = "  " + shownText(file.path) + " -> " + shownText(file.newPath) +
                               ": " + std::string(recoveredText(file.what));
            if (file.claimsRemoved > 0) {
                line += "; an empty claim it left removed";
            }
            console.out(line + "\n");
        }
    }
    return missing ? kPartlyDone : kAllDone;
}

int undo(const Arguments& args, Console& console, const std::string& journals) {
    std::string run;
    if (!args.paths.empty()) {
        run = args.paths.front();
    } else if (const std::optional<std::string> latest = latestUndoable(journals)) {
        run = *latest;
    } else {
        console.error("no run to undo (quillmark-cli history lists the runs kept)");
        return kUsageOrEarlyError;
    }
    const UndoReport report = undoRun(journals, run);
    for (const UndoneFile& file : report.files) {
        const std::string line = shownText(file.path) + " -> " + shownText(file.oldName) + ": " +
                                 std::string(undoText(file.result));
        if (file.result == UndoResult::Restored) {
            console.out(line + "\n");
        } else {
            const bool told = file.result == UndoResult::OldNameTaken || !file.failure;
            console.error(line + (told ? "" : " (" + file.failure->description() + ")"));
        }
    }
    console.out("undid run " + report.run + ": " + std::to_string(report.restored) + " of " +
                std::to_string(report.files.size()) + " files back under their old names" +
                (report.skipped > 0 ? ", " + std::to_string(report.skipped) + " skipped" : "") +
                (report.undoRun.empty() ? "" : " (itself run " + report.undoRun + ")") + "\n");
    if (report.journalProblem) {
        console.error("this undo could not be recorded: " + report.journalProblem->description());
    }
    return report.skipped > 0 ? kPartlyDone : kAllDone;
}

} // namespace

void reportRecovery(const std::vector<RecoveryReport>& reports, Console& console) {
    for (const RecoveryReport& report : reports) {
        std::size_t renamed = 0;
        for (const RecoveredFile& file : report.files) {
            renamed += file.what == Recovered::Renamed || file.what == Recovered::OldLinkRemoved;
            if (file.what == Recovered::Missing || file.what == Recovered::LeftUnderTemporary) {
                console.error(shownText(file.path) + ": " + std::string(recoveredText(file.what)));
            }
        }
        console.error("run " + report.run + " had been interrupted; finished it first (" +
                      std::to_string(renamed) + " of its " + std::to_string(report.files.size()) +
                      " unconfirmed renames had been made)");
    }
}

int runJournalCommand(const Arguments& args, Console& console) {
    const std::string journals = journalFolder();
    if (journals.empty()) {
        console.error("no journal folder: neither XDG_STATE_HOME nor HOME is an absolute folder");
        return kUsageOrEarlyError;
    }
    try {
        switch (args.command) {
        case Command::History:
            return history(args, console, journals);
        case Command::Recover:
            return recover(console, journals);
        default:
            return undo(args, console, journals);
        }
    } catch (const FileFailure& failure) {
        console.error(failure.description());
        return kUsageOrEarlyError;
    }
}

} // namespace quillmark::cli
