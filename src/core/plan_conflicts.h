#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Why a file cannot get its new name. Names are compared as the strictest
// file system a collection may be copied to compares them: two names with
// equal foldedName keys are one name, whatever the file system they are on.
enum class ConflictKind : std::uint8_t {
    None,
    NameTaken,  // an entry that stays in the folder has the name
    SharedName, // another file is to get the same name
    Cycle,      // the files would take each other's names (a swap, or a ring)
    Blocked,    // the name is that of a file which is to leave it, but cannot
};

// One file of a folder: its name, and the name it is to get ("", or its own
// name: it stays).
struct FolderMove {
    std::string_view name;
    std::string_view target;
};

struct MoveConflict {
    ConflictKind kind = ConflictKind::None;
    // What it conflicts with: an index into the moves, or the number of
    // moves plus an index into the other entries.
    std::size_t with = 0;
};

struct FolderSettlement {
    std::vector<MoveConflict> conflicts; // one for each move
    // The renames without conflict, each after those that free the name it
    // takes: made in this order, no rename ever finds its name taken.
    std::vector<std::size_t> order;
};

// Settles the renames of one folder before the first is made. `others` are
// the folder's entries that are no move (subfolders, hidden files): they stay.
// A conflict of one file spreads to the file waiting for its name.
FolderSettlement settleFolder(std::span<const FolderMove> moves,
                              std::span<const std::string> others);

} // namespace quillmark
