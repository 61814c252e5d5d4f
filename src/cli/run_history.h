#pragma once

#include "cli/arguments.h"
#include "cli/console.h"
#include "core/journal.h"

#include <string>
#include <vector>

namespace quillmark::cli {

// history, undo and recover; returns the exit status.
int runJournalCommand(const Arguments& args, Console& console);

// Tells on standard error what recovery did before a run.
void reportRecovery(const std::vector<RecoveryReport>& reports, Console& console);

} // namespace quillmark::cli
