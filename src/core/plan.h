#pragma once

#include "core/plan_conflicts.h"
#include "fsys/archive_header.h"
#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "fsys/header_bytes.h"
#include "romid/file_name.h"
#include "romid/name_list.h"
#include "romid/rom_header.h"
#include "romid/title_lookup.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// What a plan does with a file.
enum class PlanAction : std::uint8_t {
    Rename,         // it gets its proposed name
    Unchanged,      // it has its proposed name already
    Unknown,        // a ROM image without a title
    NoInternalName, // a ROM image whose internal name is empty
    NotRom,         // no ROM image; links, special files and folders are never read
    Conflict,       // its proposed name cannot be given: see `conflict`
    Error,          // it could not be read, or its name cannot be given: see `failure`
};

// A folder the plan read. Files are renamed within the folder they lie in.
struct PlanFolder {
    std::string path;
    std::uint64_t device = 0; // which folder it is
    std::uint64_t inode = 0;
    // Its entries that are no file of the plan (subfolders, hidden entries,
    // files not asked about): their names are taken.
    std::vector<std::string> otherNames;
};

struct PlannedFile {
    std::uint32_t folder = 0; // into Plan::folders
    PlanAction action = PlanAction::NotRom;
    EntryKind kind = EntryKind::File;
    ConflictKind conflict = ConflictKind::None;
    std::string name; // its name now
    // Rename and Conflict: the name it is to get; Unchanged: its name.
    std::string newName;
    // Conflict: a file of the plan (an index into Plan::files), or, from
    // Plan::files.size() on, an index into its folder's otherNames.
    std::size_t conflictWith = 0;
    // The bytes read and the identity of the file they were read from (a
    // regular file only). A rename is made only while the file still has it.
    HeaderBytes header;
    // Where the title came from; the title points into the name list, which
    // must not be refreshed while the plan is used.
    TitleLookup title;
    // Set when the header is that of an archive's one member.
    std::optional<ArchiveKind> archive;
    // An archive that gave no member: why (NotRom).
    ArchiveRefusal archiveRefusal = ArchiveRefusal::None;
    // Error: why. Shared, so that the many files without one cost little.
    std::shared_ptr<const FileFailure> failure;

    std::optional<RomHeader> rom() const { return parseRomHeader(header); }
};

struct Plan {
    std::vector<PlanFolder> folders;
    // Folder by folder in the order read, each folder's files in the listing
    // order (or in the order asked for). A deque: a collection of many
    // thousand files grows it without ever holding it twice.
    std::deque<PlannedFile> files;
    // The files with action Rename, in the order their renames are to be
    // made: a rename that frees a name before the one that takes it.
    std::vector<std::size_t> steps;
    // Asked to stop before it was complete: it must not be carried out.
    bool stopped = false;

    std::string path(const PlannedFile& file) const;
    std::string_view conflictName(const PlannedFile& file) const;
    std::size_t count(PlanAction action) const;
};

// Hears how planning goes.
class PlanObserver {
public:
    virtual ~PlanObserver() = default;
    // After each file read: `read` of the `total` files found.
    virtual void filesRead(std::size_t /*read*/, std::size_t /*total*/) {}
    // Asked before each file is read: true ends planning there.
    virtual bool stopRequested() { return false; }
};

struct PlanOptions {
    NamingRule rule;
    bool recursive = false; // also the subfolders, hidden ones and links to folders excepted
};

// Plans every file of `folders`. Symbolic links and special files are never
// followed or read; hidden entries (leading dot) are left out; a folder
// reached twice is read once. Conflicts are settled before anything is
// renamed: see settleFolder. Throws FileFailure when one of `folders` cannot
// be read, or the name list when it is needed; a subfolder that cannot be
// read is an Error of the plan.
Plan planFolders(const std::vector<std::string>& folders, const PlanOptions& options,
                 NameList& list, PlanObserver& observer);

// Plans the files at `paths`, in that order, each among the entries of its
// folder. A file that cannot be found or read is an Error; a path named twice
// is planned once. Throws FileFailure when the name list is needed and cannot
// be read.
Plan planFiles(const std::vector<std::string>& paths, const NamingRule& rule, NameList& list,
               PlanObserver& observer);

// A hash of the header bytes (FNV-1a over the bytes read and their count):
// with the stamp, what tells that a file is the one planned.
std::uint64_t headerHash(const HeaderBytes& header);

} // namespace quillmark
