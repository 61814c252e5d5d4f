#pragma once

#include "core/journal.h"
#include "core/plan.h"
#include "fsys/file_failure.h"

#include <cstddef>
#include <optional>

namespace quillmark {

// What became of one rename of a plan.
enum class StepResult : std::uint8_t {
    Renamed, // the file has its new name
    Changed, // the file is not the one planned any more: left alone
    Failed,  // the rename failed; nothing was replaced
};

struct StepOutcome {
    StepResult result = StepResult::Renamed;
    std::optional<FileFailure> failure; // Changed and Failed
};

struct PlanRunReport {
    std::size_t renamed = 0;
    std::size_t changed = 0;
    std::size_t failed = 0;
    std::size_t stepsTaken = 0; // of plan.steps, from the first
    bool stopped = false;       // stopped before its last step
};

// Hears a plan being carried out, step by step: the place to record a run.
// The plan and the step's file are those passed to runPlan.
class PlanRunObserver {
public:
    virtual ~PlanRunObserver() = default;
    // Once, before the first rename.
    virtual void runStarting(const Plan& /*plan*/) {}
    // Before each step: false stops the run before it.
    virtual bool beforeStep(const Plan& /*plan*/, std::size_t /*file*/) { return true; }
    virtual void afterStep(const Plan& /*plan*/, std::size_t /*file*/,
                           const StepOutcome& /*outcome*/) {}
    virtual void runEnded(const Plan& /*plan*/, const PlanRunReport& /*report*/) {}
};

// Makes the plan's renames in the order of its steps, each with the
// no-replace rename and only while the file is still the one whose header
// was read (same device, inode, size and modification time, the link itself
// not followed); a file changed since is left as it is, never renamed on a
// stale plan. A failed step does not end the run: a later rename to the name
// it did not free fails in turn, and nothing is replaced. Conflicts are the
// caller's to judge before: only the steps are made.
// With a journal, the plan's renames are recorded, and made durable, before
// the first is made, and each as it is made.
PlanRunReport runPlan(const Plan& plan, PlanRunObserver& observer, RunJournal* journal = nullptr);

} // namespace quillmark
