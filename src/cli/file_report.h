#pragma once

#include "core/plan.h"
#include "fsys/file_failure.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark::cli {

// What became of a file of a plan.
enum class Outcome : unsigned char {
    Planned,    // plan and identify: nothing was to be done yet
    Renamed,    // renamed by this run
    Failed,     // its rename failed, or the file had changed: `failure`
    NotReached, // its rename was not made: `note` says why
};

// One file as it is reported.
struct FileRecord {
    const Plan& plan;
    const PlannedFile& file;
    std::string_view shownPath; // as the user wrote it
    Outcome outcome = Outcome::Planned;
    const FileFailure* failure = nullptr;
    std::string_view note;
};

// The action as scripts read it: rename, unchanged, unknown, no-internal-name,
// not-rom, conflict or error.
std::string_view actionName(const FileRecord& record);
// Why the file is not renamed (or not as planned); "" when there is nothing to say.
std::string reasonText(const FileRecord& record);

std::string jsonLine(const FileRecord& record);
std::string tableLine(const FileRecord& record, bool colour);
std::string identifyBlock(const FileRecord& record, bool colour);

struct Totals {
    std::size_t files = 0;
    std::size_t renamed = 0; // planned renames, where nothing is renamed
    std::size_t unchanged = 0;
    std::size_t unknown = 0;
    std::size_t noInternalName = 0;
    std::size_t notRom = 0;
    std::size_t conflicts = 0;
    std::size_t errors = 0;
    std::size_t notReached = 0;

    void add(const FileRecord& record);
};

std::string jsonSummary(const Totals& totals);
std::string tableSummary(const Totals& totals, bool planned);

// Bytes as a terminal may show them: every control character and every byte
// that is no part of valid UTF-8 as \xHH.
std::string shownText(std::string_view bytes);

// `text` as a JSON string, quotes included; bytes that are not UTF-8 as in jsonLine.
std::string jsonString(std::string_view text);

} // namespace quillmark::cli
