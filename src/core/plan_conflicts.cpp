#include "plan_conflicts.h"

#include "fsys/name_fold.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace quillmark {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// A name's folded key as a hash, and whose name it is. Equal hashes are
// checked against the keys themselves, so a collision costs a comparison,
// never a wrong verdict; the keys are not kept, which would double the
// memory of a folder of many thousand files.
struct Keyed {
    std::uint64_t hash;
    std::size_t entry;
    bool operator<(const Keyed& other) const {
        return hash != other.hash ? hash < other.hash : entry < other.entry;
    }
};

std::uint64_t foldedHash(std::string_view name) {
    return std::hash<std::string>{}(foldedName(name));
}

bool sameName(std::string_view a, std::string_view b) {
    return a == b || foldedName(a) == foldedName(b);
}

bool moves(const FolderMove& move) {
    return !move.target.empty() && move.target != move.name;
}

class Settler {
public:
    Settler(std::span<const FolderMove> moves, std::span<const std::string> others)
        : moves_(moves), others_(others), waiter_(moves.size(), kNone) {
        result_.conflicts.resize(moves.size());
    }

    FolderSettlement settle() {
        keyNames();
        findSharedNames();
        findTakenNames();
        findCycles();
        spreadConflicts();
        order();
        return std::move(result_);
    }

private:
    std::string_view nameOf(std::size_t entry) const {
        return entry < moves_.size() ? moves_[entry].name
                                     : std::string_view(others_[entry - moves_.size()]);
    }
    bool free(std::size_t move) const { return result_.conflicts[move].kind == ConflictKind::None; }
    void conflict(std::size_t move, ConflictKind kind, std::size_t with) {
        result_.conflicts[move] = {kind, with};
    }

    void keyNames() {
        holders_.reserve(moves_.size() + others_.size());
        for (std::size_t i = 0; i < moves_.size(); ++i) {
            holders_.push_back({foldedHash(moves_[i].name), i});
            if (moves(moves_[i])) {
                targets_.push_back({foldedHash(moves_[i].target), i});
            }
        }
        for (std::size_t i = 0; i < others_.size(); ++i) {
            holders_.push_back({foldedHash(others_[i]), moves_.size() + i});
        }
        std::sort(holders_.begin(), holders_.end());
        std::sort(targets_.begin(), targets_.end());
    }

    // Two files to one name: neither gets it, as choosing one would be a guess.
    void findSharedNames() {
        for (auto run = targets_.begin(); run != targets_.end();) {
            const auto end = std::find_if(run, targets_.end(),
                                          [&](const Keyed& k) { return k.hash != run->hash; });
            for (auto a = run; a != end; ++a) {
                for (auto b = run; b != end; ++b) {
                    if (a != b && sameName(moves_[a->entry].target, moves_[b->entry].target)) {
                        conflict(a->entry, ConflictKind::SharedName, b->entry);
                        break;
                    }
                }
            }
            run = end;
        }
    }

    // A name held by an entry that stays is taken; one held by files that
    // are to leave it is free once they have.
    void findTakenNames() {
        for (const Keyed& target : targets_) {
            const std::size_t i = target.entry;
            if (!free(i)) {
                continue;
            }
            const auto [first, last] =
                std::equal_range(holders_.begin(), holders_.end(), Keyed{target.hash, 0},
                                 [](const Keyed& a, const Keyed& b) { return a.hash < b.hash; });
            for (auto h = first; h != last; ++h) {
                if (h->entry == i || !sameName(nameOf(h->entry), moves_[i].target)) {
                    continue;
                }
                if (h->entry >= moves_.size() || !moves(moves_[h->entry])) {
                    conflict(i, ConflictKind::NameTaken, h->entry);
                    break;
                }
                waiter_[h->entry] = i;
            }
        }
    }

    // Each file has at most one waiter (two would share a name), so the
    // waits form chains that may close into rings.
    void findCycles() {
        enum : unsigned char { kUnseen, kOnPath, kDone };
        std::vector<unsigned char> state(moves_.size(), kUnseen);
        std::vector<std::size_t> path;
        for (std::size_t start = 0; start < moves_.size(); ++start) {
            path.clear();
            std::size_t at = start;
            while (at != kNone && state[at] == kUnseen) {
                state[at] = kOnPath;
                path.push_back(at);
                at = waiter_[at];
            }
            if (at != kNone && state[at] == kOnPath) {
                const auto ring = std::find(path.begin(), path.end(), at);
                for (auto member = ring; member != path.end(); ++member) {
                    // It wants the name of the file before it in the ring.
                    const std::size_t before = member == ring ? path.back() : *(member - 1);
                    if (free(*member)) {
                        conflict(*member, ConflictKind::Cycle, before);
                    }
                }
            }
            for (const std::size_t member : path) {
                state[member] = kDone;
            }
        }
    }

    // A file that does not leave its name keeps the one waiting for it out.
    void spreadConflicts() {
        for (std::size_t i = 0; i < moves_.size(); ++i) {
            for (std::size_t at = i; !free(at) && waiter_[at] != kNone && free(waiter_[at]);
                 at = waiter_[at]) {
                conflict(waiter_[at], ConflictKind::Blocked, at);
            }
        }
    }

    // Every free rename after the renames it waits for, otherwise in the
    // order of the moves.
    void order() {
        std::vector<std::size_t> firstWaited(moves_.size() + 1, 0);
        for (const std::size_t w : waiter_) {
            if (w != kNone) {
                ++firstWaited[w + 1];
            }
        }
        for (std::size_t i = 0; i < moves_.size(); ++i) {
            firstWaited[i + 1] += firstWaited[i];
        }
        std::vector<std::size_t> waitedFor(firstWaited.back());
        std::vector<std::size_t> fill(firstWaited.begin(), firstWaited.end() - 1);
        for (std::size_t h = 0; h < moves_.size(); ++h) {
            if (waiter_[h] != kNone) {
                waitedFor[fill[waiter_[h]]++] = h;
            }
        }
        std::vector<bool> placed(moves_.size(), false);
        std::vector<std::pair<std::size_t, std::size_t>> stack; // move, next of its waited-for
        for (std::size_t start = 0; start < moves_.size(); ++start) {
            if (placed[start] || !free(start) || !moves(moves_[start])) {
                continue;
            }
            stack.push_back({start, firstWaited[start]});
            while (!stack.empty()) {
                auto& [move, next] = stack.back();
                if (next < firstWaited[move + 1]) {
                    const std::size_t dependency = waitedFor[next++];
                    if (!placed[dependency]) {
                        stack.push_back({dependency, firstWaited[dependency]});
                    }
                    continue;
                }
                placed[move] = true;
                result_.order.push_back(move);
                stack.pop_back();
            }
        }
    }

    std::span<const FolderMove> moves_;
    std::span<const std::string> others_;
    std::vector<Keyed> holders_;      // every name the folder has now
    std::vector<Keyed> targets_;      // every name a move is to get
    std::vector<std::size_t> waiter_; // the move that takes a move's name once it is left
    FolderSettlement result_;
};

} // namespace

FolderSettlement settleFolder(std::span<const FolderMove> moves,
                              std::span<const std::string> others) {
    return Settler(moves, others).settle();
}

} // namespace quillmark
