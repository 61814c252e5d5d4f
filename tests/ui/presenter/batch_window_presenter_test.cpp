#include "core/journal.h"
#include "fsys/file_failure.h"
#include "fsys/folder_listing.h"
#include "support/temp_folder.h"
#include "ui/presenter/batch_window_presenter.h"
#include "ui/presenter/fake_view.h"
#include "ui/presenter/window_undo.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::FakeView;
using test::nameListLine;
using test::RomFields;
using test::romImage;
using test::TempFolder;
using Names = std::vector<std::string>;
using Boxes = std::vector<FakeView::Box>;

constexpr std::array<std::uint8_t, 4> kPauseDemoCrc{0x7D, 0x17, 0x27, 0xF1};
constexpr Control kCountLabels[] = {Control::Labelinsgesamt, Control::Labelanzahlroms,
                                    Control::Labelumbenannt, Control::Labelident};
constexpr Control kClearedValues[] = {Control::Romname, Control::Hersteller, Control::Cardid,
                                      Control::Land};

class BatchWindow : public ::testing::Test {
protected:
    TempFolder roms;
    TempFolder lists;
    NameList nameList{lists.file("roms.ini")};
    FakeView view;

    // The window as a single-file view and an earlier run left it: values
    // shown, old list lines, old counts, the results hidden again.
    BatchWindow() {
        lists.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64") +
                                    nameListLine("BANJO", "Banjo"));
        for (const Control value : {Control::Romname, Control::Hersteller, Control::Cardid,
                                    Control::Land, Control::Namevoll, Control::Nameneu}) {
            view.setCaption(value, "earlier");
        }
        view.appendToList(Control::Listeunbekannt, "earlier.v64");
        view.appendToList(Control::Listeschonrichtig, "earlier right.v64");
        for (const Control label : kCountLabels) {
            view.setCaption(label, " 7");
        }
        for (const Control member : kBatchResultGroup) {
            view.setControlVisible(member, false);
        }
        view.progress = 40;
    }

    void writeRom(const std::string& fileName, const std::string& internalName,
                  std::array<std::uint8_t, 4> crc1 = {0x12, 0x34, 0x56, 0x78}) {
        RomFields fields;
        fields.internalName = internalName;
        fields.crc1 = crc1;
        roms.write(fileName, romImage(fields, ByteOrder::V64));
    }

    BatchReport run(NamingStyle style = NamingStyle::Normal) {
        const Names before = roms.contents();
        BatchReport report =
            runBatchInWindow(view, roms.path(), listFolderFiles(roms.path()), style, nameList);
        EXPECT_EQ(roms.contents(), before) << "a file's bytes changed or a file vanished";
        return report;
    }

    // An ended run that is not complete leaves results hidden with their old counts.
    void expectResultsUntouched() {
        for (const Control member : kBatchResultGroup) {
            EXPECT_FALSE(view.shown(member)) << controlName(member);
        }
        for (const Control label : kCountLabels) {
            EXPECT_EQ(view.caption(label), " 7") << controlName(label);
        }
    }

    void expectValuesCleared() {
        for (const Control value : kClearedValues) {
            EXPECT_EQ(view.caption(value), "") << controlName(value);
        }
    }
};

// A run killed after a rename is finished first; the run then works on the
// folder as it is, not on the file list taken before.
TEST_F(BatchWindow, AnInterruptedRunIsFinishedFirstAndTheFolderReadAgain) {
    writeRom("kart.v64", "MARIO KART 64");
    const Names listedBefore = listFolderFiles(roms.path());
    TempFolder journals;
    {
        RunJournal died(journals.path(), RunKind::Batch);
        const FileStamp folder = *stampAt(roms.path(), LinkMode::Follow);
        const std::uint32_t at = died.addFolder(roms.path(), folder.device, folder.inode);
        died.addFile(at, "kart.v64", "moved.v64", *stampAt(roms.file("kart.v64")), 0, false);
        died.beforeRenames();
        std::filesystem::rename(roms.file("kart.v64"), roms.file("moved.v64"));
    }
    WindowRuns runs(journals.path());
    const BatchReport report =
        runBatchInWindow(view, roms.path(), listedBefore, NamingStyle::Normal, nameList, &runs);
    EXPECT_EQ(report.outcome, BatchOutcome::Finished) << report.failureCode;
    EXPECT_EQ(report.renamedCount, 1);
}

TEST_F(BatchWindow, FinishedRunShowsCountsListsAndTheNewNames) {
    writeRom("a-demo.v64", "Test Program", kPauseDemoCrc);
    writeRom("Banjo (USA).v64", "BANJO");
    writeRom("c-kart.v64", "MARIO KART 64");
    writeRom("d-mystery.v64", "NOBODY KNOWS THIS");
    roms.write("e-notes.txt", "no cartridge in here");
    Names atReread;
    view.onReread = [&] { atReread = listFolderFiles(roms.path()); };

    const BatchReport report = run();
    ASSERT_EQ(report.outcome, BatchOutcome::Finished);
    EXPECT_EQ(view.caption(Control::Label17), "Batchmode runs...  Finished !");
    EXPECT_EQ(view.progress, 100);
    EXPECT_EQ(view.boxes, (Boxes{{"Batchrun finished !", "Quillmark:", BoxStyle::OkInformation}}));

    EXPECT_EQ(view.caption(Control::Labelinsgesamt), " 5");
    EXPECT_EQ(view.caption(Control::Labelanzahlroms), " 4");
    EXPECT_EQ(view.caption(Control::Labelumbenannt), " 2");
    EXPECT_EQ(view.caption(Control::Labelident), " 0");
    for (const Control member : kBatchResultGroup) {
        EXPECT_TRUE(view.shown(member)) << controlName(member);
    }
    EXPECT_EQ(view.lists[static_cast<std::size_t>(Control::Listeunbekannt)],
              (Names{"d-mystery.v64"}));
    EXPECT_EQ(view.lists[static_cast<std::size_t>(Control::Listeschonrichtig)],
              (Names{"Banjo (USA).v64"}));
    // Re-read once, after the renames.
    EXPECT_EQ(view.rereads, 1);
    EXPECT_EQ(atReread, (Names{"Banjo (USA).v64", "d-mystery.v64", "e-notes.txt",
                               "Mario Kart 64 (USA).v64", "Pause Demo (USA).v64"}));

    expectValuesCleared();
    EXPECT_EQ(view.caption(Control::Namevoll), "Pause Demo") << "the last demo title";
    EXPECT_EQ(view.caption(Control::Nameneu), "") << "the last file was no ROM image";
    EXPECT_FALSE(view.shown(Control::Command2));
}

TEST_F(BatchWindow, NamesOfTheListAreNotShownAndTheLastProposalStays) {
    writeRom("a.v64", "MARIO KART 64");
    writeRom("b.v64", "NOBODY KNOWS THIS");
    run(NamingStyle::UltraHle);
    EXPECT_EQ(view.caption(Control::Namevoll), "") << "a title from the name list is not shown";
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM_unknown_!");
    EXPECT_TRUE(test::fileExists(roms.file("Mario_Kart_64_(USA).v64")));
}

TEST_F(BatchWindow, CountriesTakeTheirGermanSuffixes) {
    for (const char country : std::string("DFIU")) {
        RomFields fields;
        fields.internalName = "BANJO";
        fields.country = static_cast<std::uint8_t>(country);
        roms.write(std::string(1, country) + ".z64", romImage(fields, ByteOrder::Z64));
    }
    // Named by the single-file view, renamed again to the batch suffix.
    RomFields kart;
    kart.internalName = "MARIO KART 64";
    kart.country = 'D';
    roms.write("Mario Kart 64 (Euro - Germany).v64", romImage(kart, ByteOrder::V64));
    EXPECT_EQ(run().renamedCount, 5);
    EXPECT_EQ(listFolderFiles(roms.path()),
              (Names{"Banjo (Australien).v64", "Banjo (Euro - Deutschland).v64",
                     "Banjo (Euro - Frankreich).v64", "Banjo (Euro - Italien).v64",
                     "Mario Kart 64 (Euro - Deutschland).v64"}));
}

TEST_F(BatchWindow, ProgressAndStatusArePaintedOnlyWhenTheyChange) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        roms.write(name, "text");
    }
    run();
    EXPECT_EQ(view.paints, (Names{"0", "33", "Batchmode runs...", "66", "100",
                                  "Batchmode runs...  Finished !"}));

    // 150 files: one paint per value the bar takes, 0 to 100, and two status texts.
    TempFolder big;
    Names names;
    for (int i = 0; i < 150; ++i) {
        names.push_back(std::to_string(1000 + i) + ".txt");
        big.write(names.back(), "text");
    }
    view.paints.clear();
    runBatchInWindow(view, big.path(), names, NamingStyle::Normal, nameList);
    Names expected{"0", "Batchmode runs..."};
    for (int value = 1; value <= 100; ++value) {
        expected.push_back(std::to_string(value));
    }
    expected.push_back("Batchmode runs...  Finished !");
    EXPECT_EQ(view.paints, expected);
}

// The window tests go through every failure code; here, that a run that does
// not finish leaves hidden results hidden, with their old counts.
TEST_F(BatchWindow, UnfinishedRunsLeaveTheResultsAsTheyWere) {
    BatchReport report = run();
    ASSERT_EQ(report.outcome, BatchOutcome::NoFiles);
    EXPECT_EQ(view.caption(Control::Label17), "There are no files in this directory !");
    EXPECT_EQ(view.boxes, (Boxes{{"There are no files in this directory !", "Alert !",
                                  BoxStyle::OkInformation}}));
    EXPECT_EQ(view.progress, 0);
    EXPECT_TRUE(view.lists[static_cast<std::size_t>(Control::Listeunbekannt)].empty());
    EXPECT_TRUE(view.lists[static_cast<std::size_t>(Control::Listeschonrichtig)].empty());
    expectResultsUntouched();
    EXPECT_EQ(view.rereads, 0);
    expectValuesCleared();
    EXPECT_EQ(view.caption(Control::Nameneu), "");

    writeRom("a-mystery.v64", "NOBODY KNOWS THIS");
    writeRom("b-kart.v64", "MARIO KART 64");
    writeRom("c-copy.v64", "MARIO KART 64");
    writeRom("d-banjo.v64", "BANJO");
    view.boxes.clear();
    report = run();
    ASSERT_EQ(report.outcome, BatchOutcome::Aborted);
    EXPECT_EQ(
        view.boxes,
        (Boxes{{"A file named \"Mario Kart 64 (USA).v64\" already exists !\nProgress aborted !",
                "Fehler !", BoxStyle::OkExclamation}}));
    EXPECT_EQ(view.caption(Control::Label17), "Batchmode aborted !");
    EXPECT_EQ(view.progress, 75);
    EXPECT_EQ(view.lists[static_cast<std::size_t>(Control::Listeunbekannt)],
              (Names{"a-mystery.v64"}));
    expectResultsUntouched();
    EXPECT_EQ(view.rereads, 1) << "the renamed files are listed under their new names";
    expectValuesCleared();
    EXPECT_EQ(view.caption(Control::Nameneu), "Mario Kart 64 (USA).v64");
}

TEST_F(BatchWindow, OtherFailuresShowTheirDescription) {
    writeRom("a.v64", "MARIO KART 64");
    nameList.setPath(lists.file("missing.ini"));
    const BatchReport report = run();
    ASSERT_EQ(report.failureCode, 53);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0], (FakeView::Box{"Batchmode aborted !\n" + report.failureDescription,
                                            "Fehler !", BoxStyle::OkExclamation}));
    EXPECT_NE(view.boxes[0].text.find("missing.ini"), std::string::npos) << view.boxes[0].text;
}

TEST_F(BatchWindow, FailedReReadIsReportedAndTheFinishedRunStays) {
    roms.write("a.txt", "text");
    for (const FileFailure& failure :
         {FileFailure(FileFailureCode::PathNotFound, "Path not found"),
          FileFailure(FileFailureCode::PermissionDenied, "Permission denied"),
          FileFailure(FileFailureCode::FileAlreadyExists, "File already exists")}) {
        view.boxes.clear();
        view.onReread = [&failure] { throw failure; };
        const BatchReport report = run();
        EXPECT_EQ(report.outcome, BatchOutcome::Finished);
        EXPECT_EQ(view.boxes, (Boxes{{"Batchrun finished !", "Quillmark:", BoxStyle::OkInformation},
                                     {failure.description(), "Error !", BoxStyle::OkExclamation}}));
        EXPECT_EQ(view.caption(Control::Label17), "Batchmode runs...  Finished !");
        EXPECT_EQ(view.progress, 100);
        EXPECT_EQ(view.caption(Control::Labelinsgesamt), " 1");
        for (const Control member : kBatchResultGroup) {
            EXPECT_TRUE(view.shown(member)) << controlName(member);
        }
    }
}

} // namespace
} // namespace quillmark
