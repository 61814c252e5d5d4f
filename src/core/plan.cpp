#include "plan.h"

#include "core/header_read_ahead.h"
#include "fsys/paths.h"
#include "fsys/rename_file.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

namespace quillmark {

namespace {

bool isHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

// Where a path's last part starts; trailing separators are no part.
std::pair<std::string, std::string> splitPath(std::string path) {
    while (path.size() > 1 && path.back() == kPathSeparator) {
        path.pop_back();
    }
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::string::npos) {
        return {".", path};
    }
    return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

class PlanBuilder {
public:
    PlanBuilder(const NamingRule& rule, NameList& list, PlanObserver& observer)
        : rule_(rule), titles_(list), observer_(observer) {}

    // The folder's index, or nothing when it was added before.
    std::optional<std::size_t> addFolder(std::string path, const FileStamp& identity) {
        if (!seen_.insert({identity.device, identity.inode}).second) {
            return std::nullopt;
        }
        plan_.folders.push_back({std::move(path), identity.device, identity.inode, {}});
        return plan_.folders.size() - 1;
    }

    // A folder that could not be read: its files are errors.
    std::size_t addUnreadFolder(std::string path) {
        plan_.folders.push_back({std::move(path), 0, 0, {}});
        return plan_.folders.size() - 1;
    }

    PlannedFile& addFile(std::size_t folder, std::string name, EntryKind kind) {
        PlannedFile& file = plan_.files.emplace_back();
        file.folder = static_cast<std::uint32_t>(folder);
        file.name = std::move(name);
        file.kind = kind;
        return file;
    }

    // Files, links and special files of a folder are the plan's; its
    // subfolders are walked after its files when asked for.
    void walk(const std::string& path, const PlanOptions& options) {
        FolderContents contents = readFolder(path);
        if (const std::optional<std::size_t> folder = addFolder(path, contents.folder)) {
            addEntries(*folder, contents, options);
        }
    }

    Plan& plan() { return plan_; }

    // Reads and names every regular file, folder by folder as the files were
    // listed; then settles each folder's renames.
    Plan finish() {
        std::vector<std::vector<std::size_t>> members(plan_.folders.size());
        for (std::size_t i = 0; i < plan_.files.size(); ++i) {
            members[plan_.files[i].folder].push_back(i);
            toRead_ += isToRead(plan_.files[i]);
        }
        for (std::size_t folder = 0; folder < members.size() && !plan_.stopped; ++folder) {
            readFolderFiles(folder, members[folder]);
        }
        if (!plan_.stopped) {
            for (std::size_t folder = 0; folder < members.size(); ++folder) {
                settle(folder, members[folder]);
            }
        }
        return std::move(plan_);
    }

private:
    static bool isToRead(const PlannedFile& file) {
        return file.kind == EntryKind::File && file.action != PlanAction::Error;
    }

    void addEntries(std::size_t folder, FolderContents& contents, const PlanOptions& options) {
        std::vector<std::string> subfolders;
        for (FolderEntry& entry : contents.entries) {
            if (!isHidden(entry.name) && entry.kind != EntryKind::Folder) {
                addFile(folder, std::move(entry.name), entry.kind);
                continue;
            }
            if (options.recursive && !isHidden(entry.name)) {
                subfolders.push_back(entry.name);
            }
            plan_.folders[folder].otherNames.push_back(std::move(entry.name));
        }
        for (std::string& name : subfolders) {
            const std::string path = joinPath(plan_.folders[folder].path, name);
            try {
                walk(path, options);
            } catch (const FileFailure& failure) {
                // Shown where it lies: as an entry of its folder.
                PlannedFile& file = addFile(folder, std::move(name), EntryKind::Folder);
                file.action = PlanAction::Error;
                file.failure = std::make_shared<const FileFailure>(failure);
            }
        }
    }

    void readFolderFiles(std::size_t folder, const std::vector<std::size_t>& members) {
        std::vector<std::size_t> regular;
        for (const std::size_t i : members) {
            if (isToRead(plan_.files[i])) {
                regular.push_back(i);
            }
        }
        if (regular.empty()) {
            return;
        }
        // The reader holds the names while it reads; they come back after.
        std::vector<std::string> names;
        names.reserve(regular.size());
        for (const std::size_t i : regular) {
            names.push_back(std::move(plan_.files[i].name));
        }
        struct Restore {
            Plan& plan;
            const std::vector<std::size_t>& regular;
            std::vector<std::string>& names;
            ~Restore() {
                for (std::size_t k = 0; k < regular.size(); ++k) {
                    plan.files[regular[k]].name = std::move(names[k]);
                }
            }
        } restore{plan_, regular, names};
        const std::string& path = plan_.folders[folder].path;
        HeaderReadAhead headers(path + pathSeparatorFor(path), names);
        for (std::size_t k = 0; k < regular.size(); ++k) {
            if (observer_.stopRequested()) {
                plan_.stopped = true;
                return;
            }
            PlannedFile& file = plan_.files[regular[k]];
            try {
                TakenHeader taken = headers.takeNext();
                file.header = taken.header;
                file.archive = taken.archive;
                file.archiveRefusal = taken.refusal;
            } catch (const FileFailure& failure) {
                file.action = PlanAction::Error;
                file.failure = std::make_shared<const FileFailure>(failure);
            }
            if (!file.failure) {
                identify(file, names[k]);
            }
            observer_.filesRead(++read_, toRead_);
        }
    }

    // Throws the name list's FileFailure.
    void identify(PlannedFile& file, const std::string& name) {
        if (file.archiveRefusal != ArchiveRefusal::None) {
            return;
        }
        if (!file.header.regularFile) {
            file.kind = EntryKind::Special; // it was replaced since the listing
            return;
        }
        const std::optional<RomHeader> rom = parseRomHeader(file.header);
        if (!rom) {
            return;
        }
        file.title = titles_.find(*rom);
        ProposedName proposed = proposeName(*rom, file.title, rule_, file.archive);
        if (proposed.kind == NameKind::Unknown) {
            file.action = PlanAction::Unknown;
        } else if (proposed.kind == NameKind::NoInternalName) {
            file.action = PlanAction::NoInternalName;
        } else if (proposed.name == name) {
            file.action = PlanAction::Unchanged;
        } else if (const std::string_view reason = refusedNameReason(proposed.name);
                   !reason.empty()) {
            file.action = PlanAction::Error;
            file.failure = std::make_shared<const FileFailure>(
                FileFailureCode::BadFileName,
                std::string(failureText(FileFailureCode::BadFileName)) + ": \"" + proposed.name +
                    "\" " + std::string(reason));
        } else {
            file.action = PlanAction::Rename;
        }
        if (proposed.kind == NameKind::Name) {
            file.newName = std::move(proposed.name);
        }
    }

    void settle(std::size_t folder, const std::vector<std::size_t>& members) {
        std::vector<FolderMove> moves;
        moves.reserve(members.size());
        for (const std::size_t i : members) {
            const PlannedFile& file = plan_.files[i];
            moves.push_back({file.name, file.action == PlanAction::Rename
                                            ? std::string_view(file.newName)
                                            : std::string_view()});
        }
        const FolderSettlement settled = settleFolder(moves, plan_.folders[folder].otherNames);
        for (std::size_t k = 0; k < members.size(); ++k) {
            const MoveConflict& conflict = settled.conflicts[k];
            if (conflict.kind != ConflictKind::None) {
                PlannedFile& file = plan_.files[members[k]];
                file.action = PlanAction::Conflict;
                file.conflict = conflict.kind;
                file.conflictWith = conflict.with < members.size()
                                        ? members[conflict.with]
                                        : plan_.files.size() + (conflict.with - members.size());
            }
        }
        for (const std::size_t k : settled.order) {
            plan_.steps.push_back(members[k]);
        }
    }

    const NamingRule rule_;
    TitleFinder titles_;
    PlanObserver& observer_;
    Plan plan_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen_; // folders added: device, inode
    std::size_t toRead_ = 0;
    std::size_t read_ = 0;
};

} // namespace

std::string Plan::path(const PlannedFile& file) const {
    return joinPath(folders[file.folder].path, file.name);
}

std::string_view Plan::conflictName(const PlannedFile& file) const {
    if (file.conflictWith < files.size()) {
        return files[file.conflictWith].name;
    }
    return folders[file.folder].otherNames[file.conflictWith - files.size()];
}

std::size_t Plan::count(PlanAction action) const {
    return static_cast<std::size_t>(std::count_if(
        files.begin(), files.end(), [action](const PlannedFile& f) { return f.action == action; }));
}

Plan planFolders(const std::vector<std::string>& folders, const PlanOptions& options,
                 NameList& list, PlanObserver& observer) {
    PlanBuilder builder(options.rule, list, observer);
    for (const std::string& folder : folders) {
        builder.walk(folder, options);
    }
    return builder.finish();
}

Plan planFiles(const std::vector<std::string>& paths, const NamingRule& rule, NameList& list,
               PlanObserver& observer) {
    PlanBuilder builder(rule, list, observer);
    Plan& plan = builder.plan();
    // Each folder is read once, however many of its files are asked about;
    // the entries not asked about are the folder's other names.
    struct Listed {
        std::size_t folder = 0;
        std::vector<FolderEntry> entries;
        std::vector<bool> asked;
        std::optional<FileFailure> failure;
    };
    std::vector<Listed> listed;
    std::unordered_map<std::string, std::size_t> listedByPath;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::size_t> listedById;
    std::set<std::pair<std::size_t, std::string>> planned;
    for (const std::string& path : paths) {
        auto [folderPath, name] = splitPath(path);
        auto [at, fresh] = listedByPath.try_emplace(folderPath, listed.size());
        if (fresh) {
            Listed read;
            try {
                FolderContents contents = readFolder(folderPath);
                const auto identity = std::make_pair(contents.folder.device, contents.folder.inode);
                if (const auto same = listedById.find(identity); same != listedById.end()) {
                    at->second = same->second; // the same folder by another path
                } else {
                    listedById.emplace(identity, listed.size());
                    read.folder = *builder.addFolder(folderPath, contents.folder);
                    read.entries = std::move(contents.entries);
                    read.asked.resize(read.entries.size());
                    listed.push_back(std::move(read));
                }
            } catch (const FileFailure& failure) {
                read.folder = builder.addUnreadFolder(folderPath);
                read.failure = failure;
                listed.push_back(std::move(read));
            }
        }
        Listed& folder = listed[at->second];
        if (!planned.insert({folder.folder, name}).second) {
            continue;
        }
        const auto entry = std::lower_bound(
            folder.entries.begin(), folder.entries.end(), name,
            [](const FolderEntry& e, const std::string& n) { return fileNameLess(e.name, n); });
        const bool found = entry != folder.entries.end() && entry->name == name;
        PlannedFile& file =
            builder.addFile(folder.folder, name, found ? entry->kind : EntryKind::File);
        if (found) {
            folder.asked[static_cast<std::size_t>(entry - folder.entries.begin())] = true;
        } else {
            file.action = PlanAction::Error;
            file.failure = std::make_shared<const FileFailure>(
                folder.failure ? *folder.failure : failureFromErrno(ENOENT, path));
        }
    }
    for (Listed& folder : listed) {
        for (std::size_t i = 0; i < folder.entries.size(); ++i) {
            if (!folder.asked[i]) {
                plan.folders[folder.folder].otherNames.push_back(std::move(folder.entries[i].name));
            }
        }
    }
    return builder.finish();
}

std::uint64_t headerHash(const HeaderBytes& header) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    const auto mix = [&hash](std::uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001B3u;
    };
    for (std::size_t i = 0; i < header.length; ++i) {
        mix(header.bytes[i]);
    }
    mix(static_cast<std::uint8_t>(header.length));
    return hash;
}

} // namespace quillmark
