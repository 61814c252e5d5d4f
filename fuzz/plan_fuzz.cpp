// The plan's conflict rules fed with random folder listings: names built of
// pieces that case-insensitive file systems take for one another (letter
// case, composed and decomposed accents, "ß" and "ss", the Kelvin and
// Ångström signs, a zero-width joiner, a byte that is no UTF-8).
//
// Input: byte 0 chooses the mode; then, per entry, a byte that says whether
// it is a file that stays, one that moves, or a subfolder, and how many
// pieces its name and its new name have, followed by one byte per piece.
// With mode 1 in its low three bits (and few entries), the listing is also made of real
// files and folders, planned by planFolders and carried out by runPlan.

#include "core/plan.h"
#include "core/plan_conflicts.h"
#include "core/plan_run.h"
#include "fsys/name_fold.h"
#include "fuzz_support.h"
#include "kit/rom_image.h"
#include "kit/whole_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {
namespace {

using fuzz::require;

// A piece as UTF-8 and, for those a name list can hold, as Windows-1252.
struct Piece {
    std::string_view utf8;
    std::string_view cp1252; // "" : no name-list title can give it
};

constexpr std::array<Piece, 26> kPieces{{
    {"a", "a"},           {"A", "A"},           {"b", "b"},
    {"B", "B"},           {"\xC3\xA9", "\xE9"},                       // é, composed
    {"e\xCC\x81", ""},                                                // é, decomposed
    {"\xC3\x89", "\xC9"},                                             // É
    {"E\xCC\x81", ""},                                                // É, decomposed
    {"\xC3\x9F", "\xDF"},                                             // ß
    {"ss", "ss"},         {"SS", "SS"},         {"\xE1\xBA\x9E", ""}, // capital ß
    {"\xC4\xB1", ""},                                                 // dotless ı
    {"I", "I"},           {"i", "i"},           {"K", "K"},
    {"\xE2\x84\xAA", ""},                       // Kelvin sign
    {"k", "k"},           {"\xE2\x80\x8D", ""}, // zero-width joiner
    {"\xC3\x85", "\xC5"},                       // Å
    {"\xE2\x84\xAB", ""},                       // Ångström sign
    {"A\xCC\x8A", ""},                          // Å, decomposed
    {" ", " "},           {".v64", ".v64"},     {".V64", ".V64"},
    {"\xFF", ""}, // no UTF-8
}};

enum class Role { Stays, Moves, Folder };

struct Entry {
    Role role = Role::Stays;
    std::string name;
    std::string target;      // Moves: UTF-8
    std::string targetTitle; // Moves: Windows-1252, "" when a list cannot give it
};

// Reads the entries; names are unique, as in a folder.
std::vector<Entry> readEntries(const std::uint8_t* data, std::size_t size) {
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::size_t at = 1;
    while (at < size && entries.size() < 64) {
        const std::uint8_t shape = data[at++];
        Entry entry;
        entry.role = shape % 4 == 3 ? Role::Folder : shape % 4 == 0 ? Role::Stays : Role::Moves;
        const std::size_t nameLength = 1 + (shape >> 2) % 3;
        const std::size_t targetLength = entry.role == Role::Moves ? 1 + (shape >> 4) % 4 : 0;
        bool titled = true;
        for (std::size_t i = 0; i < nameLength + targetLength && at < size; ++i) {
            const Piece& piece = kPieces[data[at++] % kPieces.size()];
            if (i < nameLength) {
                entry.name += piece.utf8;
            } else {
                entry.target += piece.utf8;
                entry.targetTitle += piece.cp1252;
                titled = titled && !piece.cp1252.empty();
            }
        }
        if (!titled) {
            entry.targetTitle.clear();
        }
        if (entry.name.empty()) {
            break; // the input ended inside it
        }
        if (entry.name.front() == '.') {
            entry.name.insert(0, "n"); // a hidden name is no file of the plan
        }
        if (names.insert(entry.name).second) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

// Makes the renames in `order` on a folder whose names are counted by
// folded key: no rename may find its name held by another entry.
void checkOrder(const std::vector<FolderMove>& moves, const std::vector<std::string>& others,
                const std::vector<std::size_t>& order) {
    std::map<std::string, int> held;
    for (const FolderMove& move : moves) {
        ++held[foldedName(move.name)];
    }
    for (const std::string& other : others) {
        ++held[foldedName(other)];
    }
    for (const std::size_t step : order) {
        const std::string from = foldedName(moves[step].name);
        const std::string to = foldedName(moves[step].target);
        require(held[to] == 0 || (held[to] == 1 && from == to),
                "no rename of the order finds its name held");
        --held[from];
        ++held[to];
    }
}

void checkSettlement(const std::vector<FolderMove>& moves, const std::vector<std::string>& others) {
    const FolderSettlement settled = settleFolder(moves, others);
    require(settled.conflicts.size() == moves.size(), "one verdict per file");
    std::vector<int> placed(moves.size(), 0);
    for (const std::size_t step : settled.order) {
        require(step < moves.size() && ++placed[step] == 1, "each rename is made at most once");
    }
    const auto nameOf = [&](std::size_t i) -> std::string_view {
        return i < moves.size() ? moves[i].name : std::string_view(others[i - moves.size()]);
    };
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const bool renames = !moves[i].target.empty() && moves[i].target != moves[i].name;
        const MoveConflict& c = settled.conflicts[i];
        require((c.kind == ConflictKind::None) == (placed[i] == 1) || !renames,
                "every rename without conflict is made");
        require(renames || (c.kind == ConflictKind::None && placed[i] == 0),
                "a file that stays has no conflict and no rename");
        if (c.kind == ConflictKind::None) {
            continue;
        }
        require(c.with != i && c.with < moves.size() + others.size(), "a conflict names another");
        const std::string target = foldedName(moves[i].target);
        switch (c.kind) {
        case ConflictKind::NameTaken:
            require(foldedName(nameOf(c.with)) == target &&
                        (c.with >= moves.size() || moves[c.with].target.empty() ||
                         moves[c.with].target == moves[c.with].name),
                    "a taken name is held by an entry that stays");
            break;
        case ConflictKind::SharedName:
            require(c.with < moves.size() && foldedName(moves[c.with].target) == target,
                    "a shared name is another file's new name");
            break;
        case ConflictKind::Cycle:
        case ConflictKind::Blocked:
            require(c.with < moves.size() && foldedName(moves[c.with].name) == target &&
                        settled.conflicts[c.with].kind != ConflictKind::None,
                    "a name waited for is held by a file that cannot leave it");
            break;
        case ConflictKind::None:
            break;
        }
    }
    checkOrder(moves, others, settled.order);
}

// The listing as real files: stays are text files, moves ROM images whose
// titles the list gives, folders are folders. Plans and renames it, then
// checks that every rename was made where the plan said and no file is lost.
void checkRealFolder(const std::vector<Entry>& entries) {
    namespace fs = std::filesystem;
    static unsigned long serial = 0;
    const std::string folder = fuzz::scratchFolder() + "/case-" + std::to_string(++serial);
    const std::string listPath = folder + ".ini";
    fs::create_directory(folder);
    std::string list;
    std::multiset<std::string> contents;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        const std::string path = folder + "/" + entry.name;
        if (entry.role == Role::Folder) {
            fs::create_directory(path);
            continue;
        }
        char key[21];
        std::snprintf(key, sizeof key, "FUZZ %-15zu", i);
        kit::RomFields fields;
        fields.internalName = key;
        fields.country = 0; // no suffix: the title and ".v64" are the name
        const std::string bytes = entry.role == Role::Moves
                                      ? kit::romImage(fields, ByteOrder::Z64)
                                      : "a file that stays " + std::to_string(i);
        fuzz::writeFile(path, bytes);
        contents.insert(bytes);
        if (entry.role == Role::Moves && !entry.targetTitle.empty()) {
            list += "\"" + std::string(key) + "\",\"" + entry.targetTitle + "\"\r\n";
        }
    }
    fuzz::writeFile(listPath, list + "\"NOBODY\",\"Nobody\"\r\n");
    NameList names(listPath);
    PlanObserver quiet;
    const Plan plan = planFolders({folder}, PlanOptions{}, names, quiet);
    std::vector<FolderMove> moves;
    for (const PlannedFile& file : plan.files) {
        const bool renames =
            file.action == PlanAction::Rename || file.action == PlanAction::Conflict;
        moves.push_back({file.name, renames ? std::string_view(file.newName) : std::string_view()});
    }
    checkOrder(moves, plan.folders[0].otherNames, [&] {
        std::vector<std::size_t> order(plan.steps.begin(), plan.steps.end());
        return order;
    }());
    PlanRunObserver run;
    const PlanRunReport report = runPlan(plan, run);
    require(report.renamed == plan.steps.size(), "every rename of a plan without races is made");
    std::multiset<std::string> after;
    for (const auto& item : fs::directory_iterator(folder)) {
        if (item.is_regular_file()) {
            after.insert(kit::readWholeFile(item.path().string()));
        }
    }
    require(after == contents, "no file is lost or changed");
    for (const std::size_t step : plan.steps) {
        require(fs::exists(folder + "/" + plan.files[step].newName), "a renamed file has its name");
    }
    fs::remove_all(folder);
    fs::remove(listPath);
}

} // namespace
} // namespace quillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillmark;
    if (size == 0) {
        return 0;
    }
    const std::vector<Entry> entries = readEntries(data, size);
    std::vector<FolderMove> moves;
    std::vector<std::string> others;
    for (const Entry& entry : entries) {
        if (entry.role == Role::Folder) {
            others.push_back(entry.name);
        } else {
            moves.push_back({entry.name, entry.target});
        }
    }
    checkSettlement(moves, others);
    if ((data[0] & 7) == 1 && entries.size() <= 12) {
        checkRealFolder(entries);
    }
    return 0;
}
