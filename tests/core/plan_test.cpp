#include "core/plan.h"
#include "core/plan_run.h"
#include "kit/whole_file.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

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
                                    test::nameListLine("SLASHED", "AC/DC"));
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

} // namespace
} // namespace quillmark
