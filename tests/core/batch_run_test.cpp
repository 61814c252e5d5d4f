#include "archive_writer.h"
#include "core/batch_run.h"
#include "core/header_read_ahead.h"
#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::nameListLine;
using test::RomFields;
using test::romImage;
using test::SystemCallFault;
using test::TempFolder;
using Names = std::vector<std::string>;

constexpr std::array<std::uint8_t, 4> kPauseDemoCrc{0x7D, 0x17, 0x27, 0xF1};
constexpr std::array<std::uint8_t, 4> kSiteroDemoCrc{0x9A, 0x6C, 0xF2, 0xF5};
const std::string kNoName(20, '\0');

// Every step as one line of text, in the order they came.
class Recorder : public BatchObserver {
public:
    void runStarted(std::size_t fileCount) override {
        events.push_back("start " + std::to_string(fileCount));
    }
    void fileStarted(std::size_t /*index*/, std::string_view name) override {
        ++started;
        if (beforeFirstFile) {
            std::exchange(beforeFirstFile, nullptr)();
        }
        events.push_back("file " + std::string(name));
    }
    void fileIdentified(std::size_t /*index*/, const RomHeader& /*rom*/, const TitleLookup& title,
                        const ProposedName& name) override {
        if (title.source == TitleSource::DemoTable) {
            events.push_back("demoTitle " + std::string(title.title));
        }
        events.push_back("identified " + (name.kind == NameKind::Name ? name.name
                                          : name.kind == NameKind::Unknown
                                              ? std::string("(unknown)")
                                              : std::string("(no internal name)")));
        if (afterFirstIdentified) {
            std::exchange(afterFirstIdentified, nullptr)();
        }
    }
    void fileRenamed(std::size_t /*index*/, std::string_view name) override {
        events.push_back("renamed " + std::string(name));
    }
    void fileSkipped(std::size_t /*index*/, SkipReason reason) override {
        constexpr const char* kReasons[] = {"notRom", "skipped unknown", "skipped no internal name",
                                            "alreadyRight"};
        events.push_back(kReasons[static_cast<int>(reason)]);
    }
    void fileFailed(std::size_t /*index*/, const FileFailure& failure) override {
        events.push_back("failed " + std::to_string(failure.number()));
    }

    Names events;
    int started = 0;
    std::function<void()> beforeFirstFile;
    std::function<void()> afterFirstIdentified;
};

// Counts the opens of one folder's files, from whichever thread makes them,
// and denies one path.
struct OpenWatch : test::SavedSystemCalls {
    static inline std::string prefix, deniedPath; // set before any reader starts
    static inline std::atomic<int> opens;
    static inline std::atomic<bool> deniedTried;

    explicit OpenWatch(const std::string& folder, std::string denied = {}) {
        prefix = folder + "/";
        deniedPath = std::move(denied);
        opens = 0;
        deniedTried = false;
        systemCalls().open = [](const char* path, int flags) {
            opens += std::string_view(path).starts_with(prefix);
            if (path == deniedPath) {
                deniedTried = true;
                return errno = EACCES, -1;
            }
            return realSystemCalls().open(path, flags);
        };
    }
};

class BatchRun : public ::testing::Test {
protected:
    TempFolder roms;
    TempFolder lists; // the name list lives apart, so it is no file of the run
    NameList nameList{lists.file("roms.ini")};
    Recorder recorder;

    BatchRun() {
        lists.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64") +
                                    nameListLine("BANJO", "Banjo") +
                                    nameListLine("WAVE RACE 64", "Wave Race 64") +
                                    nameListLine("Test Program", "Listed Test Program") +
                                    nameListLine("SLASHED", "AC/DC Live"));
    }

    void writeRom(const std::string& fileName, const std::string& internalName,
                  std::uint8_t country = 'E', ByteOrder order = ByteOrder::Z64,
                  std::array<std::uint8_t, 4> crc1 = {0x12, 0x34, 0x56, 0x78}) {
        RomFields fields;
        fields.internalName = internalName;
        fields.country = country;
        fields.crc1 = crc1;
        roms.write(fileName, romImage(fields, order));
    }

    // Runs over the given names (the folder's listing by default) and checks
    // that every file's bytes are still there, under whatever name.
    BatchReport run(NamingStyle style = NamingStyle::Normal, const Names* names = nullptr) {
        const std::vector<std::string> before = roms.contents();
        const Names listed = names ? *names : listFolderFiles(roms.path());
        BatchReport report = runBatch(roms.path(), listed, NamingRule{style}, recorder, nameList);
        EXPECT_EQ(roms.contents(), before) << "a file's bytes changed or a file vanished";
        return report;
    }

    Names folderNames() const { return listFolderFiles(roms.path()); }
};

TEST_F(BatchRun, EmptyFolderEndsWithNoFiles) {
    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::NoFiles);
    EXPECT_EQ(report.totalFiles, 0);
    EXPECT_EQ(report.romCount, 0);
    EXPECT_EQ(report.failureCode, 0);
    EXPECT_TRUE(report.unknownFiles.empty());
    EXPECT_TRUE(report.alreadyRightFiles.empty());
    EXPECT_EQ(recorder.events, (Names{"start 0"}));
}

TEST_F(BatchRun, MixedFolderIsCountedAndListed) {
    writeRom("a-kart.z64", "MARIO KART 64", 'E', ByteOrder::Z64);
    writeRom("Banjo (USA).v64", "BANJO", 'E', ByteOrder::V64);
    writeRom("c-mystery.v64", "NOBODY KNOWS THIS", 'J', ByteOrder::V64);
    writeRom("d-blank.v64", kNoName);
    writeRom("e-mystery.z64", "NOR THIS ONE", 'P');
    roms.write("notes.txt", "a text file, long enough to be read as a header candidate .....");
    roms.write("cover.bmp", "BM picture bytes that are no cartridge at all");
    roms.write("tiny", "x");

    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.totalFiles, 8);
    EXPECT_EQ(report.romCount, 5);
    EXPECT_EQ(report.renamedCount, 1);
    EXPECT_EQ(report.unknownCount, 2);
    EXPECT_EQ(report.noNameCount, 1);
    EXPECT_EQ(report.alreadyRightCount, 1);
    EXPECT_EQ(report.failureCode, 0);
    EXPECT_EQ(report.unknownFiles, (Names{"c-mystery.v64", "e-mystery.z64"}));
    EXPECT_EQ(report.alreadyRightFiles, (Names{"Banjo (USA).v64"}));
    EXPECT_EQ(folderNames(),
              (Names{"Banjo (USA).v64", "c-mystery.v64", "cover.bmp", "d-blank.v64",
                     "e-mystery.z64", "Mario Kart 64 (USA).v64", "notes.txt", "tiny"}));
}

TEST_F(BatchRun, ZippedImagesAreCountedAndRenamedAsTheArchivesTheyAre) {
    const auto zipped = [&](const std::string& internalName, ByteOrder order,
                            const std::string& format = "zip") {
        RomFields fields;
        fields.internalName = internalName;
        return archives::writeArchive({{"member", romImage(fields, order)}}, {format, "", ""});
    };
    writeRom("a-kart.v64", "MARIO KART 64");
    roms.write("b-banjo.zip", zipped("BANJO", ByteOrder::N64));
    roms.write("c-mystery.7z", zipped("NOBODY KNOWS THIS", ByteOrder::V64, "7zip"));
    roms.write("d-two.zip", archives::writeArchive({{"a", "text"}, {"b", "text"}}, {}));
    roms.write("Wave Race 64 (USA).zip", zipped("WAVE RACE 64", ByteOrder::Z64));
    writeRom("e-wave.z64", "WAVE RACE 64");
    roms.write("f-kart.zip", zipped("MARIO KART 64", ByteOrder::V64));
    roms.write("g-kart.7z", zipped("MARIO KART 64", ByteOrder::Z64, "7zip"));
    roms.write("x-banjo.zip", zipped("BANJO", ByteOrder::Z64)); // a second copy: the run stops

    const BatchReport report = run();
    EXPECT_EQ(report.failureCode, 58);
    EXPECT_EQ(report.romCount, 7);
    EXPECT_EQ(report.renamedCount, 5);
    EXPECT_EQ(report.unknownFiles, (Names{"c-mystery.7z"}));
    EXPECT_EQ(report.alreadyRightFiles, (Names{"Wave Race 64 (USA).zip"}));
    EXPECT_EQ(folderNames(),
              (Names{"Banjo (USA).zip", "c-mystery.7z", "d-two.zip", "Mario Kart 64 (USA).7z",
                     "Mario Kart 64 (USA).v64", "Mario Kart 64 (USA).zip", "Wave Race 64 (USA).v64",
                     "Wave Race 64 (USA).zip", "x-banjo.zip"}));
}

TEST_F(BatchRun, UltraHleStyleRenamesToUnderscoresAndKeepsThemAsRight) {
    writeRom("Mario Kart 64 (USA).v64", "MARIO KART 64");
    writeRom("Banjo_(USA).v64", "BANJO", 'E', ByteOrder::V64);
    writeRom("Banjo (USA).v64", "BANJO", 'J', ByteOrder::V64);
    writeRom("mystery.v64", "NOBODY KNOWS THIS");
    writeRom("blank.v64", kNoName);

    const BatchReport report = run(NamingStyle::UltraHle);
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.renamedCount, 2);
    EXPECT_EQ(report.alreadyRightFiles, (Names{"Banjo_(USA).v64"}));
    EXPECT_EQ(report.unknownFiles, (Names{"mystery.v64"}));
    EXPECT_EQ(report.noNameCount, 1);
    EXPECT_EQ(folderNames(), (Names{"Banjo_(JAP).v64", "Banjo_(USA).v64", "blank.v64",
                                    "Mario_Kart_64_(USA).v64", "mystery.v64"}));
}

TEST_F(BatchRun, DemoTableDecidesItsNamesWithoutTheNameList) {
    // The list has a record for "Test Program", but a CRC1 the table lacks
    // still makes the image unknown.
    writeRom("a-demo.v64", "Test Program", 'E', ByteOrder::V64, {0xDE, 0xAD, 0xBE, 0xEF});
    writeRom("b-demo.z64", "Test Program", 'E', ByteOrder::Z64, kPauseDemoCrc);
    writeRom("c-demo.v64", "Protest Design", 'A', ByteOrder::V64, kSiteroDemoCrc);

    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.romCount, 3);
    EXPECT_EQ(report.unknownCount, 1);
    EXPECT_EQ(report.unknownFiles, (Names{"a-demo.v64"}));
    EXPECT_EQ(report.renamedCount, 2);
    EXPECT_EQ(folderNames(), (Names{"a-demo.v64", "Pause Demo (USA).v64", "Sitero Demo.v64"}));
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "demoTitle Sitero Demo"),
              1);
}

TEST_F(BatchRun, TwoCopiesOfOneGameAbortWithoutLosingEither) {
    writeRom("copy1.z64", "MARIO KART 64");
    writeRom("copy2.v64", "MARIO KART 64", 'E', ByteOrder::V64);
    writeRom("later.v64", "BANJO");

    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(report.failureCode, 58);
    EXPECT_FALSE(report.failureDescription.empty());
    EXPECT_EQ(report.renamedCount, 1);
    EXPECT_EQ(report.romCount, 1);
    EXPECT_EQ(folderNames(), (Names{"copy2.v64", "later.v64", "Mario Kart 64 (USA).v64"}));
    EXPECT_EQ(recorder.started, 2);
    EXPECT_EQ(recorder.events.back(), "failed 58");
    EXPECT_EQ(recorder.events.end()[-2], "identified Mario Kart 64 (USA).v64");
}

TEST_F(BatchRun, ExistingFileOfTheProposedNameIsNeverReplaced) {
    roms.write("Banjo (USA).v64", "someone's own file, not a cartridge");
    writeRom("banjo.z64", "BANJO");

    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(report.failureCode, 58);
    EXPECT_EQ(report.renamedCount, 0);
    EXPECT_EQ(test::readFile(roms.file("Banjo (USA).v64")), "someone's own file, not a cartridge");
}

TEST_F(BatchRun, NameListFailureStopsTheRunAtThatFile) {
    writeRom("a-demo.v64", "Test Program", 'E', ByteOrder::V64, kPauseDemoCrc);
    roms.write("b-text.txt", "plain text, no cartridge here");
    writeRom("c-game.v64", "BANJO");
    writeRom("d-demo.v64", "Protest Design", 'A', ByteOrder::Z64, kSiteroDemoCrc);

    // Missing: the demo table still names the first image, the first lookup fails.
    nameList.setPath(lists.file("missing.ini"));
    BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(report.failureCode, 53);
    EXPECT_NE(report.failureDescription.find("missing.ini"), std::string::npos);
    EXPECT_EQ(report.renamedCount, 1);
    EXPECT_EQ(report.romCount, 1);
    EXPECT_EQ(recorder.started, 3);
    EXPECT_EQ(recorder.events.end()[-2], "file c-game.v64");
    const Names afterMissing{"b-text.txt", "c-game.v64", "d-demo.v64", "Pause Demo (USA).v64"};
    EXPECT_EQ(folderNames(), afterMissing);

    // Empty: no record to read.
    lists.write("empty.ini", "");
    nameList.setPath(lists.file("empty.ini"));
    report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(report.failureCode, 62);
    EXPECT_EQ(report.romCount, 0);
    EXPECT_EQ(folderNames(), afterMissing);
}

TEST_F(BatchRun, FailuresAbortAtOnceAndKeepTheCode) {
    writeRom("a.v64", "MARIO KART 64");
    writeRom("b.v64", "BANJO");
    {
        SystemCallFault denied(SystemCallFault::Call::RenameNoReplace, EACCES);
        const BatchReport report = run();
        EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
        EXPECT_EQ(report.failureCode, 70);
        EXPECT_EQ(report.renamedCount, 0);
    }
    {
        SystemCallFault denied(SystemCallFault::Call::Open, EACCES);
        const BatchReport report = run();
        EXPECT_EQ(report.failureCode, 70);
        EXPECT_EQ(report.romCount, 0);
    }
    {
        SystemCallFault ioError(SystemCallFault::Call::Read, EIO);
        EXPECT_EQ(run().failureCode, 57);
    }
    EXPECT_EQ(folderNames(), (Names{"a.v64", "b.v64"}));

    // A file gone between listing and run.
    const Names withGhost{"a.v64", "ghost.v64", "b.v64"};
    BatchReport report = run(NamingStyle::Normal, &withGhost);
    EXPECT_EQ(report.failureCode, 53);
    EXPECT_EQ(report.renamedCount, 1);
    EXPECT_EQ(folderNames(), (Names{"b.v64", "Mario Kart 64 (USA).v64"}));

    // A title that would leave the folder is refused, not followed.
    writeRom("slashed.v64", "SLASHED");
    const Names slashed{"slashed.v64"};
    report = run(NamingStyle::Normal, &slashed);
    EXPECT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(report.failureCode, 52);
    EXPECT_TRUE(test::fileExists(roms.file("slashed.v64")));
}

TEST_F(BatchRun, FailureOfAFileReadAheadIsReportedAtItsTurn) {
    writeRom("a-mystery.v64", "NOBODY KNOWS THIS");
    writeRom("Banjo (USA).v64", "BANJO", 'E', ByteOrder::V64);
    writeRom("c.v64", "WAVE RACE 64");
    writeRom("d.v64", "WAVE RACE 64", 'J');
    const OpenWatch watch(roms.path(), roms.file("c.v64"));
    bool failedAhead = false;
    recorder.beforeFirstFile = [&] { // waits up to about ten seconds
        for (int ms = 0; ms < 10'000 && !OpenWatch::deniedTried; ++ms) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        failedAhead = OpenWatch::deniedTried;
    };
    const BatchReport report = run();
    EXPECT_TRUE(failedAhead) << "the third file was not read ahead of the first";
    EXPECT_EQ(report.failureCode, 70);
    EXPECT_EQ(report.failureDescription,
              failureFromErrno(EACCES, roms.file("c.v64")).description());
    EXPECT_EQ(report.unknownFiles, (Names{"a-mystery.v64"}));
    EXPECT_EQ(report.alreadyRightFiles, (Names{"Banjo (USA).v64"}));
    EXPECT_EQ(recorder.started, 3);
    EXPECT_EQ(recorder.events.end()[-2], "file c.v64");
    EXPECT_EQ(folderNames(), (Names{"a-mystery.v64", "Banjo (USA).v64", "c.v64", "d.v64"}));
}

TEST_F(BatchRun, AbortStopsReadingAhead) {
    writeRom("00.v64", "MARIO KART 64");
    writeRom("01.v64", "MARIO KART 64", 'E', ByteOrder::V64);
    for (std::size_t i = 2; i < 3 * kReadAheadWindow; ++i) {
        roms.write(std::to_string(1000 + i) + ".txt", "text");
    }
    const OpenWatch watch(roms.path());
    EXPECT_EQ(run().failureCode, 58);
    // Two files taken, and at most the window ahead of them.
    EXPECT_LE(OpenWatch::opens, 2 + static_cast<int>(kReadAheadWindow));
}

TEST_F(BatchRun, ReadsAheadThatARenameOvertookAreMadeAgain) {
    writeRom("a.v64", "MARIO KART 64");
    writeRom("b.v64", "BANJO");
    // A list older than the folder: its second name appears with the first rename.
    const Names stale{"a.v64", "Mario Kart 64 (USA).v64"};
    BatchReport report = run(NamingStyle::Normal, &stale);
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.alreadyRightFiles, (Names{"Mario Kart 64 (USA).v64"}));
    // The first rename takes the name away from the second entry.
    const Names twice{"b.v64", "b.v64"};
    report = run(NamingStyle::Normal, &twice);
    EXPECT_EQ(report.failureCode, 53);
    EXPECT_EQ(report.renamedCount, 1);
}

TEST_F(BatchRun, AFileSwappedAfterItsHeaderWasReadIsNotRenamed) {
    const std::function<void(const std::string&)> swaps[] = {
        [&](const std::string& path) {
            writeRom("other", "WAVE RACE 64"), std::filesystem::rename(roms.file("other"), path);
        },
        [&](const std::string& path) {
            std::filesystem::remove(path), ::mkfifo(path.c_str(), 0600);
        },
    };
    for (const auto& swap : swaps) {
        writeRom("a.v64", "MARIO KART 64");
        writeRom("b.v64", "BANJO");
        recorder.afterFirstIdentified = [&] { swap(roms.file("a.v64")); };
        const BatchReport report =
            runBatch(roms.path(), folderNames(), NamingRule{}, recorder, nameList);
        EXPECT_EQ(report.failureCode, 75);
        EXPECT_NE(report.failureDescription.find("changed after its header was read"),
                  std::string::npos);
        EXPECT_NE(report.failureDescription.find(roms.file("a.v64")), std::string::npos);
        EXPECT_FALSE(test::fileExists(roms.file("Mario Kart 64 (USA).v64")));
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(roms.file("a.v64"))));
        std::filesystem::remove(roms.file("a.v64"));
    }
}

TEST_F(BatchRun, AnOpenAheadThatFailsIsMadeAgainAtItsTurn) {
    writeRom("a.v64", "MARIO KART 64");
    writeRom("b.v64", "BANJO");
    // The second open, b's made ahead, finds no descriptor free; at its turn it does.
    const SystemCallFault noDescriptor(SystemCallFault::Call::Open, EMFILE, 1, 1);
    const BatchReport report = run();
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.renamedCount, 2);
}

TEST_F(BatchRun, SpecialAndShortFilesAreNoRomImages) {
    writeRom("a-kart.v64", "MARIO KART 64");
    roms.write("b-short", "\x80\x37"); // after a ROM image, and too short for a magic
    ASSERT_EQ(::mkfifo(roms.file("c-pipe").c_str(), 0600), 0);
    // Only the magic: the rest reads as zeros, so a ROM image without a name.
    roms.write("d-magic", std::string("\x80\x37\x12\x40", 4));
    // A link to an image is passed over, never read or renamed.
    RomFields banjo;
    banjo.internalName = "BANJO";
    ASSERT_EQ(::symlink(lists.write("banjo.v64", romImage(banjo, ByteOrder::Z64)).c_str(),
                        roms.file("e-link").c_str()),
              0);

    // The listing leaves the pipe out; a pipe in the list (one made after the
    // listing) must not hang the run.
    const Names names{"a-kart.v64", "b-short", "c-pipe", "d-magic", "e-link"};
    const BatchReport report = run(NamingStyle::Normal, &names);
    EXPECT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(report.totalFiles, 5);
    EXPECT_EQ(report.romCount, 2);
    EXPECT_EQ(report.renamedCount, 1);
    EXPECT_EQ(report.noNameCount, 1);
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "notRom"), 3);
    EXPECT_TRUE(std::filesystem::is_symlink(roms.file("e-link")));
}

TEST_F(BatchRun, NotificationsComeInTheOrderOfTheSteps) {
    writeRom("a.v64", "Test Program", 'E', ByteOrder::V64, kPauseDemoCrc);
    roms.write("b.txt", "text that is no cartridge");
    writeRom("c.v64", "NOBODY KNOWS THIS");
    writeRom("e.v64", kNoName);
    writeRom("Mario Kart 64 (USA).v64", "MARIO KART 64", 'E', ByteOrder::V64);

    run();
    EXPECT_EQ(recorder.events,
              (Names{"start 5", "file a.v64", "demoTitle Pause Demo",
                     "identified Pause Demo (USA).v64", "renamed Pause Demo (USA).v64",
                     "file b.txt", "notRom", "file c.v64", "identified (unknown)",
                     "skipped unknown", "file e.v64", "identified (no internal name)",
                     "skipped no internal name", "file Mario Kart 64 (USA).v64",
                     "identified Mario Kart 64 (USA).v64", "alreadyRight"}));
}

} // namespace
} // namespace quillmark
