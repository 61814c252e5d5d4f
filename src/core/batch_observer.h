#pragma once

#include "fsys/file_failure.h"
#include "romid/file_name.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <cstddef>
#include <string_view>

namespace quillmark {

struct BatchReport;

// Why a file of a batch run was not renamed.
enum class SkipReason {
    NotRom,         // no N64 ROM image, or a special file or link, never read
    Unknown,        // a ROM image without a title
    NoInternalName, // a ROM image whose internal name is empty
    AlreadyNamed,   // it has its proposed name already
};

// What a batch run reports of each file, in the order of the run. Every
// method does nothing by default; the views and references passed are valid
// only for the duration of the call.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;

    virtual void runStarted(std::size_t /*fileCount*/) {}
    virtual void fileStarted(std::size_t /*index*/, std::string_view /*fileName*/) {}
    // A ROM image: its header, its title and the name it gets, or why none.
    virtual void fileIdentified(std::size_t /*index*/, const RomHeader& /*rom*/,
                                const TitleLookup& /*title*/, const ProposedName& /*name*/) {}
    virtual void fileRenamed(std::size_t /*index*/, std::string_view /*newName*/) {}
    virtual void fileSkipped(std::size_t /*index*/, SkipReason /*reason*/) {}
    // The failure that ends the run.
    virtual void fileFailed(std::size_t /*index*/, const FileFailure& /*failure*/) {}
    virtual void runEnded(const BatchReport& /*report*/) {}
};

} // namespace quillmark
