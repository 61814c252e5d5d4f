#include "plan_run.h"

#include "core/rename_one.h"

namespace quillmark {

PlanRunReport runPlan(const Plan& plan, PlanRunObserver& observer) {
    PlanRunReport report;
    observer.runStarting(plan);
    for (const std::size_t index : plan.steps) {
        if (!observer.beforeStep(plan, index)) {
            report.stopped = true;
            break;
        }
        const PlannedFile& file = plan.files[index];
        const RenameOutcome renamed = renameIdentifiedFile(plan.path(file), file.header.stamp,
                                                           file.newName, LinkMode::NoFollow);
        StepOutcome outcome;
        outcome.failure = renamed.failure;
        switch (renamed.result) {
        case RenameResult::Renamed:
            ++report.renamed;
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
    observer.runEnded(plan, report);
    return report;
}

} // namespace quillmark
