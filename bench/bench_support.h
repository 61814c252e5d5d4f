#pragma once

#include "kit/scratch_folder.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace quillmark::bench {

using Clock = std::chrono::steady_clock;

// The fewest records a benchmark's name list has, as a user's list might.
inline constexpr std::size_t kMinimumRecords = 1000;

double seconds(Clock::time_point start, Clock::time_point end);
double median(std::vector<double> values);

// Writes the new folder's data out, so that write-back does not land in a timed run.
void settle(const std::string& folder);

// The name list for a folder of `count` synthetic files, dated an hour back:
// a user's list was written long before a run, and a list only seconds old is
// read again on every lookup (its time stamp could hide an edit), which is
// not the steady state the benchmarks measure.
void writeSettledNameList(const std::string& path, std::size_t count,
                          std::size_t minimumRecords = kMinimumRecords);

// A fresh folder under `parent`, removed with everything in it however the
// measurement ends.
class ScratchFolder : public kit::ScratchFolder {
public:
    ScratchFolder(const std::string& parent, const std::string& prefix)
        : kit::ScratchFolder(prefix, parent) {}
};

// A positive count given on the command line. Throws std::invalid_argument.
std::size_t parseCount(const char* text);

} // namespace quillmark::bench
