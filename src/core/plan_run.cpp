#include "plan_run.h"

#include "core/rename_one.h"

namespace quillmark {

PlanRunReport runPlan(const Plan& plan, PlanRunObserver& observer, RunJournal* journal) {
    PlanRunReport report;
    observer.runStarting(plan);
    // The journal's number of each step's file.
    std::vector<std::size_t> recorded;
    if (journal != nullptr && !plan.steps.empty()) {
        std::vector<std::uint32_t> folders(plan.folders.size(), UINT32_MAX);
        recorded.reserve(plan.steps.size());
        for (const std::size_t index : plan.steps) {
            const PlannedFile& file = plan.files[index];
            std::uint32_t& folder = folders[file.folder];
            if (folder == UINT32_MAX) {
                const PlanFolder& from = plan.folders[file.folder];
                folder = journal->addFolder(from.path, from.device, from.inode);
            }
            recorded.push_back(journal->addFile(folder, file.name, file.newName, file.header.stamp,
                                                headerHash(file.header), file.archive.has_value()));
        }
        journal->beforeRenames();
    }
    for (std::size_t step = 0; step < plan.steps.size(); ++step) {
        const std::size_t index = plan.steps[step];
        if (!observer.beforeStep(plan, index)) {
            report.stopped = true;
            break;
        }
        const PlannedFile& file = plan.files[index];
        const RenameOutcome renamed = renameIdentifiedFile(
            plan.path(file), file.header.stamp, file.newName, LinkMode::NoFollow,
            journal != nullptr ? journal->stepsOf(recorded[step]) : nullptr);
        StepOutcome outcome;
        outcome.failure = renamed.failure;
        switch (renamed.result) {
        case RenameResult::Renamed:
            ++report.renamed;
            if (journal != nullptr) {
                journal->renamed(recorded[step]);
            }
            break;
        case RenameResult::FileChanged:
            outcome.result = StepResult::Changed;
            ++report.changed;
            break;
        case RenameResult::Nothing:
        case RenameResult::Failed:
            outcome.result = StepResult::Failed;
            ++report.failed;
            break;
        }
        ++report.stepsTaken;
        observer.afterStep(plan, index, outcome);
    }
    if (journal != nullptr) {
        journal->finish();
    }
    observer.runEnded(plan, report);
    return report;
}

} // namespace quillmark
