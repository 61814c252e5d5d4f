#pragma once

#include "cli/arguments.h"
#include "cli/console.h"

namespace quillmark::cli {

// Exit statuses.
inline constexpr int kAllDone = 0;
inline constexpr int kPartlyDone = 1;
inline constexpr int kUsageOrEarlyError = 2;
inline constexpr int kConflicts = 3;
inline constexpr int kInterrupted = 130;

// Runs identify, plan or rename and returns the exit status.
int runCommand(const Arguments& args, Console& console);

} // namespace quillmark::cli
