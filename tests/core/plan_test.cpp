#include "core/journal.h"
#include "core/plan.h"
#include "core/plan_run.h"
#include "kit/whole_file.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillmark {
namespace {

using Names = std::vector<std::string>;
namespace fs = std::filesystem;

struct SettleCase {
    const char* what;
    std::vector<FolderMove> moves; // target "": stays
    Names others;
    Names conflicts; // per move: "" or the kind and the index it is with
    std::vector<std::size_t> order;
};

std::string describe(const MoveConflict& c) {
    constexpr const char* kKinds[] = {"", "taken", "shared", "cycle", "blocked"};
    return c.kind == ConflictKind::None
               ? ""
               : kKinds[static_cast<int>(c.kind)] + std::string(" ") + std::to_string(c.with);
}

TEST(PlanConflicts, FoundBeforeAnyRenameAndOrdered) {
    const char* const kPrecomposed = "Pok\xC3\xA9mon.v64";
    const char* const kDecomposed = "Poke\xCC\x81mon.v64";
    const SettleCase cases[] = {
        {"a free name", {{"a.z64", "A.v64"}, {"b.z64", ""}}, {}, {"", ""}, {0}},
        {"case-only rename of itself", {{"mario.v64", "Mario.v64"}}, {}, {""}, {0}},
        {"a subfolder has the name", {{"a.z64", "X.v64"}}, {"X.v64"}, {"taken 1"}, {}},
        {"an entry has it but for case", {{"a.z64", "X.v64"}}, {"x.V64"}, {"taken 1"}, {}},
        {"an entry has it but for normalisation",
         {{"a", kDecomposed}},
         {kPrecomposed},
         {"taken 1"},
         {}},
        {"full case folding",
         {{"a", "Strasse.v64"}},
         {"STRA\xC3\x9F"
          "E.v64"},
         {"taken 1"},
         {}},
        {"a file already so named stays", {{"X.v64", ""}, {"b", "X.v64"}}, {}, {"", "taken 0"}, {}},
        {"its own new spelling is another's", {{"mario", "Mario"}}, {"MARIO"}, {"taken 1"}, {}},
        {"two files to one name", {{"a", "X"}, {"b", "X"}}, {}, {"shared 1", "shared 0"}, {}},
        {"two names that fold alike",
         {{"a", "X.v64"}, {"b", "x.V64"}},
         {},
         {"shared 1", "shared 0"},
         {}},
        {"one takes the other's new spelling",
         {{"a", "A"}, {"b", "a"}},
         {},
         {"shared 1", "shared 0"},
         {}},
        {"a chain, freed name first", {{"a", "B"}, {"B", "C"}}, {}, {"", ""}, {1, 0}},
        {"a chain over folding", {{"a", "b"}, {"B", "c"}}, {}, {"", ""}, {1, 0}},
        {"a longer chain", {{"1", "2"}, {"2", "3"}, {"3", "4"}}, {}, {"", "", ""}, {2, 1, 0}},
        {"a swap", {{"a", "b"}, {"b", "a"}}, {}, {"cycle 1", "cycle 0"}, {}},
        {"a ring", {{"a", "b"}, {"b", "c"}, {"c", "a"}}, {}, {"cycle 1", "cycle 2", "cycle 0"}, {}},
        {"a chain onto a taken name",
         {{"a", "B"}, {"B", "X"}},
         {"x"},
         {"blocked 1", "taken 2"},
         {}},
        {"a chain onto a shared name",
         {{"a", "B"}, {"B", "X"}, {"c", "X"}},
         {},
         {"blocked 1", "shared 2", "shared 1"},
         {}},
        {"free files around a conflict",
         {{"a", "X"}, {"b", "X"}, {"c", "Y"}},
         {"z"},
         {"shared 1", "shared 0", ""},
         {2}},
    };
    for (const SettleCase& c : cases) {
        const FolderSettlement settled = settleFolder(c.moves, c.others);
        Names conflicts;
        for (const MoveConflict& conflict : settled.conflicts) {
            conflicts.push_back(describe(conflict));
        }
        EXPECT_EQ(conflicts, c.conflicts) << c.what;
        EXPECT_EQ(settled.order, c.order) << c.what;
    }
}

class PlanOfFolder : public ::testing::Test {
protected:
    test::TempFolder roms;
    test::TempFolder lists;
    NameList names{lists.file("roms.ini")};
    PlanObserver quiet;

    PlanOfFolder() {
        lists.write("roms.ini", test::nameListLine("MARIO KART 64", "Mario Kart 64") +
                                    test::nameListLine("BANJO", "Banjo") +
                                    test::nameListLine("SLASHED", "AC/DC") +
                                    test::nameListLine("CONKER", "Conker"));
    }

    void writeRom(const std::string& path, const std::string& internalName) {
        test::RomFields fields;
        fields.internalName = internalName;
        kit::writeWholeFile(path, test::romImage(fields, ByteOrder::Z64));
    }

    Plan plan(bool recursive = true) {
        return planFolders({roms.path()}, PlanOptions{NamingRule{}, recursive}, names, quiet);
    }
};

// name, action, new name; for each file in the plan's order.
Names summary(const Plan& plan) {
    constexpr const char* kActions[] = {"rename", "unchanged", "unknown", "noName",
                                        "notRom", "conflict",  "error"};
    Names lines;
    for (const PlannedFile& file : plan.files) {
        lines.push_back(
            fs::path(plan.path(file)).lexically_relative(plan.folders[0].path).string() + " " +
            kActions[static_cast<int>(file.action)] + " " + file.newName);
    }
    return lines;
}

TEST_F(PlanOfFolder, WalksSubfoldersReadingOnlyRegularFiles) {
    fs::create_directories(roms.file("sub/deeper"));
    fs::create_directory(roms.file(".hidden"));
    writeRom(roms.file("kart.z64"), "MARIO KART 64");
    writeRom(roms.file("sub/kart.z64"), "MARIO KART 64");
    writeRom(roms.file("sub/deeper/banjo.z64"), "BANJO");
    writeRom(roms.file(".hidden/banjo.z64"), "BANJO");
    writeRom(roms.file("slash.z64"), "SLASHED");
    roms.write("notes.txt", "no image");
    fs::create_symlink(roms.file("kart.z64"), roms.file("link.z64"));
    fs::create_directory_symlink(roms.file("sub"), roms.file("linked-sub"));
    ASSERT_EQ(::mkfifo(roms.file("fifo.z64").c_str(), 0600), 0);

    test::SavedSystemCalls saved;
    static Names opened;
    systemCalls().open = [](const char* path, int flags) {
        opened.push_back(fs::path(path).filename().string());
        return realSystemCalls().open(path, flags);
    };
    const Plan walked = plan();
    for (const char* never : {"fifo.z64", "link.z64", "linked-sub", "banjo.z64"}) {
        EXPECT_EQ(std::count(opened.begin(), opened.end(), never), never[0] == 'b') << never;
    }
    EXPECT_EQ(summary(walked), (Names{"fifo.z64 notRom ", "kart.z64 rename Mario Kart 64 (USA).v64",
                                      "link.z64 notRom ", "linked-sub notRom ", "notes.txt notRom ",
                                      "slash.z64 error AC/DC (USA).v64",
                                      "sub/kart.z64 rename Mario Kart 64 (USA).v64",
                                      "sub/deeper/banjo.z64 rename Banjo (USA).v64"}));
    EXPECT_EQ(walked.files[0].kind, EntryKind::Special);
    EXPECT_EQ(walked.files[2].kind, EntryKind::Link);
    EXPECT_EQ(walked.files[5].failure->code(), FileFailureCode::BadFileName);
    EXPECT_EQ(walked.steps.size(), 3u);
    EXPECT_EQ(plan(false).files.size(), 6u);
}

TEST_F(PlanOfFolder, RunsChainsInOrderAndLeavesChangedFilesAlone) {
    writeRom(roms.file("a-banjo.z64"), "BANJO"); // waits for the name of the next
    writeRom(roms.file("Banjo (USA).v64"), "MARIO KART 64");
    const std::vector<std::string> before = roms.contents();
    const Plan planned = plan();
    ASSERT_EQ(planned.steps, (std::vector<std::size_t>{1, 0}));
    struct Steps : PlanRunObserver {
        Names seen;
        void afterStep(const Plan& p, std::size_t file, const StepOutcome& o) override {
            constexpr const char* kResults[] = {"renamed", "changed", "failed"};
            seen.push_back(p.files[file].name + " " + kResults[static_cast<int>(o.result)]);
        }
    } steps;
    Plan stale = planned;
    stale.files[1].header.stamp.modifiedSeconds -= 1; // as if it changed after the plan
    const PlanRunReport report = runPlan(stale, steps);
    EXPECT_EQ(steps.seen, (Names{"Banjo (USA).v64 changed", "a-banjo.z64 failed"}));
    EXPECT_EQ(report.changed + report.failed, 2u);
    EXPECT_EQ(roms.snapshot().count("a-banjo.z64"), 1u);

    runPlan(planned, steps);
    EXPECT_EQ(roms.snapshot().count("Mario Kart 64 (USA).v64"), 1u);
    EXPECT_EQ(roms.contents(), before);
}

TEST_F(PlanOfFolder, StopsBetweenSteps) {
    writeRom(roms.file("a.z64"), "BANJO");
    writeRom(roms.file("b.z64"), "MARIO KART 64");
    const Plan planned = plan();
    struct StopAfterOne : PlanRunObserver {
        bool beforeStep(const Plan&, std::size_t) override { return calls++ == 0; }
        int calls = 0;
    } stop;
    const PlanRunReport report = runPlan(planned, stop);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.renamed, 1u);
    EXPECT_TRUE(test::fileExists(roms.file("b.z64")));
}

TEST_F(PlanOfFolder, NamedFilesAmongTheirFolder) {
    writeRom(roms.file("a.z64"), "BANJO");
    writeRom(roms.file("Banjo (USA).v64"), "SLASHED");
    const std::string a = roms.file("a.z64");
    const Plan planned = planFiles({a, a, roms.file("missing.z64")}, NamingRule{}, names, quiet);
    ASSERT_EQ(planned.files.size(), 2u);
    EXPECT_EQ(planned.files[0].conflict, ConflictKind::NameTaken);
    EXPECT_EQ(planned.conflictName(planned.files[0]), "Banjo (USA).v64");
    EXPECT_EQ(planned.files[1].failure->code(), FileFailureCode::FileNotFound);
    test::SystemCallFault denied(test::SystemCallFault::Call::Opendir, EACCES);
    EXPECT_THROW(plan(), FileFailure);
}

// Kills the process at a chosen call that changes a file, the journal
// included: a write is cut in half, as a kill in it would leave it.
// Optionally, files cannot be mapped, so that the journal is written.
struct Killer {
    static inline int countdown = 0;
    static inline SystemCalls below{};
    static inline bool noMapping = false;
    static constexpr int kKilled = 99;
    static void tick() {
        if (countdown-- == 0) {
            ::_exit(kKilled);
        }
    }
    template <auto member, typename... Args> static int passOn(Args... args) {
        tick();
        return (below.*member)(args...);
    }
    static void install() {
        below = systemCalls();
        SystemCalls& sys = systemCalls();
        sys.renameNoReplace = passOn<&SystemCalls::renameNoReplace, const char*, const char*>;
        sys.link = passOn<&SystemCalls::link, const char*, const char*>;
        sys.unlink = passOn<&SystemCalls::unlink, const char*>;
        sys.renameReplacing = passOn<&SystemCalls::renameReplacing, const char*, const char*>;
        sys.createExclusive = passOn<&SystemCalls::createExclusive, const char*>;
        sys.futimens = passOn<&SystemCalls::futimens, int, const timespec*>;
        sys.fdatasync = passOn<&SystemCalls::fdatasync, int>;
        sys.fsync = passOn<&SystemCalls::fsync, int>;
        sys.ftruncate = passOn<&SystemCalls::ftruncate, int, off_t>;
        sys.mapShared = [](int fd, size_t length) -> void* {
            return noMapping ? (errno = ENODEV, nullptr) : below.mapShared(fd, length);
        };
        sys.pwrite = [](int fd, const void* bytes, size_t size, off_t at) -> ssize_t {
            if (countdown == 0 && size > 1) {
                below.pwrite(fd, bytes, size / 2, at);
            }
            tick();
            return below.pwrite(fd, bytes, size, at);
        };
    }
};

// A file's status change read as its modification time, as exFAT through
// FUSE reports it: a claim's mark then dates its status change too.
struct StatusChangeIsModification {
    static inline SystemCalls below{};
    const SystemCalls saved = systemCalls();
    StatusChangeIsModification() {
        below = saved;
        systemCalls().fstat = [](int fd, struct stat* st) {
            const int result = below.fstat(fd, st);
            st->st_ctim = st->st_mtim;
            return result;
        };
        systemCalls().lstat = [](const char* path, struct stat* st) {
            const int result = below.lstat(path, st);
            st->st_ctim = st->st_mtim;
            return result;
        };
    }
    ~StatusChangeIsModification() { systemCalls() = saved; }
};

// Every state a kill can leave, at each call of each way of renaming: after
// recovery every file is there once, under its old or its new name, and
// nothing else is; undo then gives each its first name.
TEST_F(PlanOfFolder, KilledRunsAreRecoveredAndUndone) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> files; // name, internal name
        int renameErr;                                          // of the no-replace rename
        int linkErr;
        bool caseInsensitive;
        bool noMapping = false;
        bool statusChangeIsModification = false;
    };
    const std::vector<std::pair<const char*, const char*>> chain = {
        {"a-banjo.z64", "BANJO"}, {"Banjo (USA).v64", "MARIO KART 64"}, {"c.z64", "CONKER"}};
    const Case cases[] = {
        {"no-replace rename", chain, 0, 0, false},
        {"link and unlink", chain, EINVAL, 0, false},
        {"claim", chain, EINVAL, EPERM, false},
        {"a case-only rename through a temporary name", {{"banjo (usa).v64", "BANJO"}}, 0, 0, true},
        {"claim, status change read as modification", chain, EINVAL, EPERM, false, false, true},
    };
    const std::string journals = lists.file("journal");
    for (const Case& c : cases) {
        fs::remove_all(roms.path());
        fs::create_directory(roms.path());
        for (const auto& [name, internal] : c.files) {
            writeRom(roms.file(name), internal);
        }
        const auto first = roms.snapshot();
        const auto contents = roms.contents();
        const Plan planned = plan();
        std::set<std::string> allowed;
        for (const PlannedFile& file : planned.files) {
            allowed.insert({file.name, file.newName});
        }
        for (int at = 0;; ++at) {
            SCOPED_TRACE(std::string(c.what) + ", killed at call " + std::to_string(at));
            fs::remove_all(journals);
            std::optional<StatusChangeIsModification> exfat;
            if (c.statusChangeIsModification) {
                exfat.emplace();
            }
            const pid_t child = ::fork();
            if (child == 0) {
                std::optional<test::CaseInsensitiveFileSystem> folding;
                if (c.caseInsensitive) {
                    folding.emplace();
                }
                std::optional<test::SystemCallFault> noRename, noLink;
                if (c.renameErr != 0) {
                    noRename.emplace(test::SystemCallFault::Call::RenameNoReplace, c.renameErr);
                }
                if (c.linkErr != 0) {
                    noLink.emplace(test::SystemCallFault::Call::Link, c.linkErr);
                }
                Killer::countdown = at;
                Killer::noMapping = c.noMapping;
                Killer::install();
                PlanRunObserver quietRun;
                RunJournal journal(journals, RunKind::Rename);
                runPlan(planned, quietRun, &journal);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            recoverRuns(journals, {roms.path()});
            EXPECT_EQ(roms.contents(), contents);
            for (const auto& [name, bytes] : roms.snapshot()) {
                EXPECT_TRUE(allowed.contains(name)) << name;
            }
            if (const auto run = latestUndoable(journals)) {
                EXPECT_EQ(undoRun(journals, *run).skipped, 0u);
            }
            EXPECT_EQ(roms.snapshot(), first);
            if (WEXITSTATUS(status) != Killer::kKilled) {
                EXPECT_GT(at, 8);
                break;
            }
        }
    }
}

// Undo gives a file its old name back only while it is the file renamed and
// the name is free; the others are skipped, and left as they are.
TEST_F(PlanOfFolder, UndoSkipsWhatChangedOrWhoseNameIsTaken) {
    const std::string journals = lists.file("journal");
    const std::string renamed = roms.file("Banjo (USA).v64");
    const auto sameSizeOtherBytes = [&] {
        const struct stat before = [&] {
            struct stat st {};
            ::stat(renamed.c_str(), &st);
            return st;
        }();
        std::string bytes = test::readFile(renamed);
        bytes[0x20] = 'X'; // the internal name
        kit::writeWholeFile(renamed, bytes);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, renamed.c_str(), times, 0);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        UndoResult result;
    };
    const Case cases[] = {
        {"old name taken", [&] { roms.write("a.z64", "mine"); }, UndoResult::OldNameTaken},
        {"grown", [&] { std::ofstream(renamed, std::ios::app) << "more"; }, UndoResult::Changed},
        {"same stamp, other header", sameSizeOtherBytes, UndoResult::Changed},
        {"gone", [&] { fs::remove(renamed); }, UndoResult::Gone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(roms.path());
        fs::create_directory(roms.path());
        writeRom(roms.file("a.z64"), "BANJO");
        writeRom(roms.file("c.z64"), "CONKER");
        PlanRunObserver quietRun;
        RunJournal journal(journals, RunKind::Rename);
        runPlan(plan(), quietRun, &journal);
        c.change();
        const auto changed = roms.snapshot();
        const UndoReport report = undoRun(journals, journal.id());
        ASSERT_EQ(report.files.size(), 2u);
        EXPECT_EQ(report.skipped, 1u);
        for (const UndoneFile& file : report.files) {
            EXPECT_EQ(file.result, file.oldName == "a.z64" ? c.result : UndoResult::Restored);
        }
        auto expected = changed;
        expected["c.z64"] = expected["Conker (USA).v64"];
        expected.erase("Conker (USA).v64");
        EXPECT_EQ(roms.snapshot(), expected);
    }
}

} // namespace
} // namespace quillmark
