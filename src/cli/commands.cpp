#include "commands.h"

#include "cli/file_report.h"
#include "cli/interrupt.h"
#include "cli/run_history.h"
#include "core/journal.h"
#include "core/plan.h"
#include "core/plan_run.h"
#include "fsys/file_failure.h"
#include "fsys/paths.h"
#include "romid/country.h"
#include "romid/name_list.h"

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quillmark::cli {

namespace {

// `given` as an absolute path, without "." parts or doubled separators
// (".." stays: a link may stand before it). The plan works on these, so
// that the paths it reports are whole.
std::string absolutePath(const std::string& given) {
    std::string path = given;
    if (path.empty() || path.front() != kPathSeparator) {
        std::error_code failed;
        const std::string working = std::filesystem::current_path(failed).string();
        if (failed) {
            return given;
        }
        path = working + kPathSeparator + path;
    }
    std::string clean;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(kPathSeparator, start), path.size());
        const std::string_view part = std::string_view(path).substr(start, end - start);
        if (!part.empty() && part != ".") {
            clean += kPathSeparator;
            clean += part;
        }
        start = end + 1;
    }
    return clean.empty() ? std::string(1, kPathSeparator) : clean;
}

// Paths as the user wrote them: each folder of the plan is shown from the
// argument it was found under.
class ShownPaths {
public:
    void addRoot(const std::string& absolute, std::string given) {
        while (given.size() > 1 && given.back() == kPathSeparator) {
            given.pop_back();
        }
        roots_.emplace_back(absolute, std::move(given));
    }

    void showFolders(const Plan& plan) {
        for (const PlanFolder& folder : plan.folders) {
            folders_.push_back(shown(folder.path));
        }
    }

    std::string path(const PlannedFile& file) const {
        const std::string& folder = folders_[file.folder];
        return folder.empty() ? file.name : joinPath(folder, file.name);
    }

private:
    std::string shown(const std::string& path) const {
        for (const auto& [absolute, given] : roots_) {
            if (path == absolute) {
                return given;
            }
            if (path.starts_with(absolute) &&
                (absolute.back() == kPathSeparator || path[absolute.size()] == kPathSeparator)) {
                const std::string rest = path.substr(absolute.size());
                return given.empty() ? rest.substr(rest.front() == kPathSeparator ? 1 : 0)
                                     : joinPath(given, rest.substr(rest.front() == kPathSeparator));
            }
        }
        return path;
    }

    std::vector<std::pair<std::string, std::string>> roots_;
    std::vector<std::string> folders_;
};

class PlanProgress : public PlanObserver {
public:
    explicit PlanProgress(Console& console) : console_(console) {}
    void filesRead(std::size_t read, std::size_t total) override {
        console_.progress("reading headers", read, total);
    }
    bool stopRequested() override { return stopAsked(); }

private:
    Console& console_;
};

// Writes each file's line, as a table or as JSON, and counts it.
class Report {
public:
    Report(const Arguments& args, Console& console, const Plan& plan, const ShownPaths& shown)
        : args_(args), console_(console), plan_(plan), shown_(shown) {}

    void file(std::size_t index, Outcome outcome = Outcome::Planned,
              const FileFailure* failure = nullptr, std::string_view note = {}) {
        const PlannedFile& file = plan_.files[index];
        const std::string shownPath = shown_.path(file);
        const FileRecord record{plan_, file, shownPath, outcome, failure, note};
        totals_.add(record);
        if (args_.json) {
            console_.out(jsonLine(record));
        } else if (args_.command == Command::Identify) {
            if (index > 0) {
                console_.out("\n");
            }
            console_.out(identifyBlock(record, console_.colour()));
        } else {
            console_.out(tableLine(record, console_.colour()));
        }
    }

    // A line on standard error for a file that is not renamed as it should be.
    void complain(std::size_t index, const std::string& reason, std::string_view what = {}) {
        const PlannedFile& file = plan_.files[index];
        std::string line(what);
        if (reason.find(plan_.path(file)) == std::string::npos) {
            line += shown_.path(file) + ": ";
        }
        console_.error(line + reason);
    }

    void summary(bool planned) {
        if (args_.json) {
            console_.out(jsonSummary(totals_));
        } else if (args_.command != Command::Identify) {
            console_.out(tableSummary(totals_, planned));
        }
    }

private:
    const Arguments& args_;
    Console& console_;
    const Plan& plan_;
    const ShownPaths& shown_;
    Totals totals_;
};

// Carries the renames out and reports every file in the order of the plan,
// each as soon as it and the files before it are done.
class RenameRun : public PlanRunObserver {
public:
    RenameRun(const Plan& plan, Report& report, Console& console)
        : plan_(plan), report_(report), console_(console), outcomes_(plan.files.size()) {}

    bool beforeStep(const Plan& plan, std::size_t /*file*/) override {
        console_.progress("renaming", taken_, plan.steps.size());
        return !stopAsked() && !console_.outputFailed();
    }

    void afterStep(const Plan& /*plan*/, std::size_t file, const StepOutcome& outcome) override {
        ++taken_;
        if (outcome.result == StepResult::Renamed) {
            outcomes_[file] = Outcome::Renamed;
        } else {
            outcomes_[file] = Outcome::Failed;
            failures_.emplace(file, *outcome.failure);
            report_.complain(file, outcome.failure->description());
        }
        reportReady();
    }

    // Reports the rest; renames not made are reported with `note`.
    void finish(std::string_view note) {
        for (std::size_t i = next_; i < plan_.files.size(); ++i) {
            if (plan_.files[i].action == PlanAction::Rename && outcomes_[i] == Outcome::Planned) {
                outcomes_[i] = Outcome::NotReached;
            }
        }
        note_ = note;
        reportReady();
    }

private:
    void reportReady() {
        for (; next_ < plan_.files.size(); ++next_) {
            const bool waits = plan_.files[next_].action == PlanAction::Rename &&
                               outcomes_[next_] == Outcome::Planned;
            if (waits) {
                return;
            }
            const auto failure = failures_.find(next_);
            report_.file(next_, outcomes_[next_],
                         failure == failures_.end() ? nullptr : &failure->second, note_);
        }
    }

    const Plan& plan_;
    Report& report_;
    Console& console_;
    std::vector<Outcome> outcomes_;
    std::unordered_map<std::size_t, FileFailure> failures_;
    std::size_t next_ = 0;
    std::size_t taken_ = 0;
    std::string_view note_;
};

std::optional<Plan> makePlan(const Arguments& args, Console& console, NameList& list,
                             ShownPaths& shown) {
    std::vector<std::string> paths;
    for (const std::string& given : args.paths) {
        paths.push_back(absolutePath(given));
        if (args.command == Command::Identify) {
            const std::size_t slash = given.find_last_of(kPathSeparator);
            const std::size_t cut = paths.back().find_last_of(kPathSeparator);
            shown.addRoot(paths.back().substr(0, cut == 0 ? 1 : cut),
                          slash == std::string::npos ? std::string() : given.substr(0, slash + 1));
        } else {
            shown.addRoot(paths.back(), given);
        }
    }
    const NamingRule rule{args.style, countrySuffix, args.extension};
    if (args.command == Command::Rename) {
        // A run killed in these folders is finished before they are read.
        // Records that cannot be read hold the run back no more than they
        // keep its files safe: the renames never replace a file either way.
        try {
            reportRecovery(recoverRuns(journalFolder(), paths, args.recursive), console);
        } catch (const FileFailure& failure) {
            console.error("the journal could not be read, so no interrupted run was looked for: " +
                          failure.description());
        }
    }
    PlanProgress progress(console);
    try {
        list.refresh(); // no list, no run
    } catch (const FileFailure& failure) {
        console.error("no name list: " + failure.description());
        return std::nullopt;
    }
    try {
        Plan plan = args.command == Command::Identify
                        ? planFiles(paths, rule, list, progress)
                        : planFolders(paths, PlanOptions{rule, args.recursive}, list, progress);
        console.endProgress();
        shown.showFolders(plan);
        return plan;
    } catch (const FileFailure& failure) {
        console.endProgress();
        console.error(failure.description());
        return std::nullopt;
    }
}

int runPlanned(const Arguments& args, Console& console) {
    std::optional<NameList> list;
    if (args.list) {
        list.emplace(*args.list);
    } else {
        list.emplace();
    }
    ShownPaths shown;
    const std::optional<Plan> made = makePlan(args, console, *list, shown);
    if (!made) {
        return kUsageOrEarlyError;
    }
    const Plan& plan = *made;
    if (plan.stopped) {
        console.error("interrupted while reading the headers; nothing was renamed");
        return kInterrupted;
    }
    Report report(args, console, plan, shown);
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        if (plan.files[i].action == PlanAction::Error) {
            report.complain(i, plan.files[i].failure->description());
        }
    }
    const std::size_t conflicts = plan.count(PlanAction::Conflict);
    const bool errors = plan.count(PlanAction::Error) > 0;
    if (args.command != Command::Rename || (conflicts > 0 && !args.skipConflicts)) {
        const bool blocked = args.command == Command::Rename;
        for (std::size_t i = 0; i < plan.files.size(); ++i) {
            if (blocked && plan.files[i].action == PlanAction::Rename) {
                report.file(i, Outcome::NotReached, nullptr, "not renamed: the plan has conflicts");
            } else {
                report.file(i);
            }
        }
        report.summary(!blocked);
        if (blocked) {
            console.error("nothing renamed: " + std::to_string(conflicts) +
                          (conflicts == 1 ? " conflict" : " conflicts") +
                          " (--skip-conflicts renames the other files)");
            return kConflicts;
        }
        if (args.command == Command::Plan && conflicts > 0) {
            return kConflicts;
        }
        return errors ? kPartlyDone : kAllDone;
    }
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        if (plan.files[i].action == PlanAction::Conflict) {
            report.complain(i, reasonText({plan, plan.files[i], {}, Outcome::Planned, nullptr, {}}),
                            "conflict, not renamed: ");
        }
    }
    RenameRun run(plan, report, console);
    RunJournal journal(journalFolder(), RunKind::Rename);
    const PlanRunReport result = runPlan(plan, run, &journal);
    if (journal.problem()) {
        console.error("the run's journal could not be written, so it cannot be undone: " +
                      journal.problem()->description());
    }
    console.endProgress();
    const bool interrupted = result.stopped && stopAsked();
    run.finish(interrupted ? "not renamed: interrupted" : "not renamed: the output was closed");
    report.summary(false);
    if (result.stopped) {
        console.error(std::string(interrupted ? "interrupted" : "standard output closed") +
                      " after " + std::to_string(result.renamed) + " of " +
                      std::to_string(plan.steps.size()) +
                      " renames; the other files keep their names");
        return interrupted ? kInterrupted : kPartlyDone;
    }
    const bool complete = !errors && conflicts == 0 && result.changed == 0 && result.failed == 0;
    return complete ? kAllDone : kPartlyDone;
}

} // namespace

// A stop asked for ends with 130 even when nothing was left to do: a script
// looping over folders must stop too.
int runCommand(const Arguments& args, Console& console) {
    if (args.command == Command::History || args.command == Command::Undo ||
        args.command == Command::Recover) {
        return runJournalCommand(args, console);
    }
    const int status = runPlanned(args, console);
    return stopAsked() ? kInterrupted : status;
}

} // namespace quillmark::cli
