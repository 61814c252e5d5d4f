#include "fsys/file_failure.h"
#include "support/system_call_fault.h"
#include "support/temp_folder.h"
#include "ui/presenter/fake_view.h"
#include "ui/presenter/naming_style.h"
#include "ui/presenter/single_file_rename.h"
#include "ui/presenter/single_file_view.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::ByteOrder;
using test::FakeView;
using test::nameListLine;
using test::RomFields;
using test::romImage;
using test::TempFolder;
namespace fs = std::filesystem;

constexpr std::string_view kProposed = "Mario Kart 64 (Euro - Germany).v64";

// The value labels that a completed rename empties.
constexpr Control kValueLabels[] = {Control::Dateiname,  Control::Dateityp, Control::Romname,
                                    Control::Hersteller, Control::Cardid,   Control::Land,
                                    Control::Namevoll,   Control::Nameneu,  Control::CRC};

class SingleFileRename : public ::testing::Test {
protected:
    TempFolder folder;
    NameList nameList{folder.file("roms.ini")};
    FakeView view;
    RomIdentity id;
    std::string romBytes;

    SingleFileRename() {
        folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64") +
                                     nameListLine("SLASHED", "AC/DC Live"));
        RomFields known;
        known.internalName = "MARIO KART 64";
        known.country = 'D';
        romBytes = test::readFile(folder.write("mk.v64", romImage(known, ByteOrder::V64, 512)));
    }

    void select(const std::string& file, const std::string& inFolder = {}) {
        const std::string where = inFolder.empty() ? folder.path() : inFolder;
        showSelectedFile(view, id, where, file, NamingStyle::Normal, nameList);
    }

    RenameOutcome click() { return renameSelectedFile(view, id); }

    void expectViewEmptied() {
        for (const Control label : kValueLabels) {
            EXPECT_EQ(view.caption(label), "") << controlName(label);
        }
        EXPECT_FALSE(view.shown(Control::Command2));
        EXPECT_EQ(view.rereads, 1);
    }

    void expectViewKept(const std::array<std::string, kControlCount>& before) {
        EXPECT_EQ(view.captions, before);
        EXPECT_TRUE(view.shown(Control::Command2));
        EXPECT_EQ(view.rereads, 0);
    }

    void expectOneFehlerBox(std::string_view containing) {
        ASSERT_EQ(view.boxes.size(), 1u);
        EXPECT_NE(view.boxes[0].text.find(containing), std::string::npos) << view.boxes[0].text;
        EXPECT_EQ(view.boxes[0].title, "Fehler !");
        EXPECT_EQ(view.boxes[0].style, BoxStyle::OkExclamation);
    }
};

TEST_F(SingleFileRename, RenamesTheFileAndEmptiesTheView) {
    select("mk.v64");
    const RomIdentity before = id;
    const RenameOutcome outcome = click();
    EXPECT_EQ(outcome.result, RenameResult::Renamed);
    EXPECT_FALSE(test::fileExists(folder.file("mk.v64")));
    EXPECT_EQ(test::readFile(folder.file(std::string(kProposed))), romBytes);
    expectViewEmptied();
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(id.romFilePath, before.romFilePath);
    EXPECT_EQ(id.newFileName, before.newFileName);
    EXPECT_EQ(id.romUnknown, before.romUnknown);
}

TEST_F(SingleFileRename, ExistingTargetIsReportedThenTheViewIsEmptied) {
    folder.write(std::string(kProposed), "another file");
    select("mk.v64");
    const RenameOutcome outcome = click();
    EXPECT_EQ(outcome.result, RenameResult::Failed);
    EXPECT_EQ(outcome.failure->code(), FileFailureCode::FileAlreadyExists);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text,
              "A file named \"" + std::string(kProposed) + "\" already exists !");
    EXPECT_EQ(view.boxes[0].title, "Fehler !");
    EXPECT_EQ(view.boxes[0].style, BoxStyle::OkExclamation);
    expectViewEmptied();
    EXPECT_EQ(test::readFile(folder.file("mk.v64")), romBytes);
    EXPECT_EQ(test::readFile(folder.file(std::string(kProposed))), "another file");
}

TEST_F(SingleFileRename, OtherFailuresAreReportedAndKeepTheViewForAnotherTry) {
    select("mk.v64");
    const auto captions = view.captions;

    {
        test::SystemCallFault refused(test::SystemCallFault::Call::RenameNoReplace, EACCES);
        EXPECT_EQ(click().failure->code(), FileFailureCode::PermissionDenied);
    }
    expectOneFehlerBox("Permission denied");
    expectViewKept(captions);
    EXPECT_EQ(test::readFile(folder.file("mk.v64")), romBytes);

    // The button stayed, and a second click works.
    view.boxes.clear();
    EXPECT_EQ(click().result, RenameResult::Renamed);
    EXPECT_TRUE(test::fileExists(folder.file(std::string(kProposed))));
}

TEST_F(SingleFileRename, VanishedSourceIsReportedAndKeepsTheView) {
    select("mk.v64");
    const auto captions = view.captions;
    fs::remove(folder.file("mk.v64"));
    EXPECT_EQ(click().failure->code(), FileFailureCode::FileNotFound);
    expectOneFehlerBox("File not found");
    expectViewKept(captions);
    EXPECT_FALSE(test::fileExists(folder.file(std::string(kProposed))));
}

TEST_F(SingleFileRename, AFileSwappedAfterItWasShownIsShownAgainInsteadOfRenamed) {
    select("mk.v64", folder.path() + "/");
    RomFields other;
    other.internalName = "NOT THE KART";
    folder.write("mk.v64", romImage(other, ByteOrder::Z64, 4096));
    const auto files = folder.snapshot();
    EXPECT_EQ(click().result, RenameResult::FileChanged);
    EXPECT_EQ(folder.snapshot(), files);
    EXPECT_TRUE(view.boxes.empty());
    showIdentifiedFileAgain(view, id, NamingStyle::Normal, nameList);
    EXPECT_EQ(view.caption(Control::Romname), "NOT THE KART        ");
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM unknown !");
    EXPECT_EQ(id.romFilePath, folder.file("mk.v64"));
}

TEST_F(SingleFileRename, TitleThatIsNoFileNameIsRefusedAndNothingMoves) {
    RomFields slashed;
    slashed.internalName = "SLASHED";
    slashed.country = 'E';
    folder.write("slashed.z64", romImage(slashed, ByteOrder::Z64));
    fs::create_directory(folder.file("AC"));
    select("slashed.z64");
    ASSERT_EQ(id.newFileName, "AC/DC Live (USA).v64");
    const auto files = folder.snapshot();
    const auto captions = view.captions;
    EXPECT_EQ(click().failure->code(), FileFailureCode::BadFileName);
    expectOneFehlerBox("Bad file name");
    expectViewKept(captions);
    EXPECT_EQ(folder.snapshot(), files);
    EXPECT_TRUE(fs::is_empty(folder.file("AC")));
}

TEST_F(SingleFileRename, NothingHappensWhileTheRomIsUnknown) {
    select("mk.v64");
    id.romUnknown = true;
    const auto files = folder.snapshot();
    const auto captions = view.captions;
    EXPECT_EQ(click().result, RenameResult::Nothing);
    EXPECT_EQ(folder.snapshot(), files);
    EXPECT_EQ(view.captions, captions);
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.rereads, 0);
}

TEST_F(SingleFileRename, UsesTheStyleChosenAfterTheSelection) {
    select("mk.v64");
    chooseUltraHleNames(view, id);
    EXPECT_EQ(click().result, RenameResult::Renamed);
    EXPECT_EQ(test::readFile(folder.file("Mario_Kart_64_(Euro_-_Germany).v64")), romBytes);
}

TEST_F(SingleFileRename, StaysInTheFolderTheFileWasSelectedIn) {
    // A folder path that ends in its separator gives no separator of its own.
    select("mk.v64", folder.path() + "/");
    ASSERT_EQ(id.pathSeparator, "");
    EXPECT_EQ(click().result, RenameResult::Renamed);
    EXPECT_EQ(test::readFile(folder.file(std::string(kProposed))), romBytes);
}

TEST_F(SingleFileRename, FailingReReadEndsTheActionAfterItsReport) {
    select("mk.v64");
    view.onReread = [] { throw FileFailure(FileFailureCode::PathNotFound, "Path not found: x"); };
    EXPECT_EQ(click().result, RenameResult::Renamed);
    expectOneFehlerBox("Path not found");
    EXPECT_TRUE(view.shown(Control::Command2)) << "the steps after the re-read did not run";
    EXPECT_EQ(view.caption(Control::Dateiname), "mk.v64");
}

TEST(NamingStyleClick, RebuildsTheNameAndShowsItOnlyWithTheButton) {
    FakeView view;
    RomIdentity id;
    view.visible[static_cast<std::size_t>(Control::Command2)] = false;
    view.captions[static_cast<std::size_t>(Control::Nameneu)] = "ROM unknown !";

    // Nothing identified yet: the name is rebuilt, nothing is shown.
    chooseNormalNames(view, id);
    EXPECT_EQ(id.newFileName, ".v64");
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM unknown !");
    chooseUltraHleNames(view, id);
    EXPECT_EQ(view.caption(Control::Nameneu), "ROM unknown !");

    id.fullTitle = "Wave Race 64";
    id.countrySuffix = " (JAP)";
    id.newFileName = "Wave Race 64 (JAP).v64";
    view.visible[static_cast<std::size_t>(Control::Command2)] = true;
    chooseUltraHleNames(view, id);
    EXPECT_EQ(view.caption(Control::Nameneu), "Wave_Race_64_(JAP).v64");
    chooseUltraHleNames(view, id);
    EXPECT_EQ(view.caption(Control::Nameneu), "Wave_Race_64_(JAP).v64");
    chooseNormalNames(view, id);
    EXPECT_EQ(view.caption(Control::Nameneu), "Wave Race 64 (JAP).v64");
    EXPECT_EQ(id.newFileName, "Wave Race 64 (JAP).v64");
}

} // namespace
} // namespace quillmark
