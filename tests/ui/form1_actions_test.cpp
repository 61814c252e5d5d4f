#include "support/system_call_fault.h"
#include "ui/app_settings.h"
#include "ui/command_line.h"
#include "ui/credits.h"
#include "ui/drive_list.h"
#include "ui/form1_fixture.h"

#include <QApplication>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace quillmark::test {
namespace {

namespace fs = std::filesystem;

// Pairs that share a place on screen and so must never show together.
void expectNoOverlapShown(const Form1& form) {
    const auto shown = [&](Control id) { return !form.control(id)->isHidden(); };
    EXPECT_FALSE(shown(Control::Command2) && shown(Control::Batchrun));
    EXPECT_FALSE(shown(Control::Nameneu) && shown(Control::ProgressBar));
    EXPECT_FALSE(shown(Control::Label8) && shown(Control::Label17));
    for (const Control detail : kFileDetailGroup) {
        for (const Control result : kBatchResultGroup) {
            EXPECT_FALSE(shown(detail) && shown(result))
                << controlName(detail) << " with " << controlName(result);
        }
    }
}

TEST_F(Form1Test, FirstTickShowsTheSingleFileSet) {
    form->Timer1_Timer();
    EXPECT_EQ(caption(Control::Modusbeschreibung),
              "Use this mode to rename a single ROM-Imagefile");
    EXPECT_EQ(caption(Control::Namenmodus),
              "Normal long filenames that also can contain spaces will be used");
    EXPECT_TRUE(shown(Control::Dateien));
    for (const Control member : kFileDetailGroup) {
        EXPECT_TRUE(shown(member)) << controlName(member);
    }
    for (const Control hidden : {Control::Batchrun, Control::Command2, Control::ProgressBar,
                                 Control::Label17, Control::Listeunbekannt, Control::Label12}) {
        EXPECT_FALSE(shown(hidden)) << controlName(hidden);
    }
    expectNoOverlapShown(*form);
}

TEST_F(Form1Test, BatchModeHidesTheRenameButtonAtOnceAndItsSetOnTheTick) {
    showWindow();
    form->Timer1_Timer();
    clickFile("mk.v64");
    ASSERT_TRUE(shown(Control::Command2));
    control<QProgressBar>(Control::ProgressBar)->setValue(40);
    control<QLabel>(Control::Label17)->setText("Batchmode runs...");

    click(Control::Batchmodus);
    EXPECT_FALSE(shown(Control::Command2));
    EXPECT_EQ(control<QProgressBar>(Control::ProgressBar)->value(), 0);
    EXPECT_EQ(caption(Control::Label17), "");
    EXPECT_TRUE(shown(Control::Dateien)) << "the set waits for the tick";

    form->Timer1_Timer();
    EXPECT_EQ(caption(Control::Modusbeschreibung),
              "Use this mode to rename all ROM-Imagefiles in a directory");
    EXPECT_FALSE(shown(Control::Dateien));
    EXPECT_TRUE(shown(Control::Batchrun));
    EXPECT_TRUE(shown(Control::ProgressBar));
    EXPECT_TRUE(shown(Control::Label17));
    for (const Control member : kFileDetailGroup) {
        EXPECT_FALSE(shown(member)) << controlName(member);
    }
    for (const Control member : kBatchResultGroup) {
        EXPECT_FALSE(shown(member)) << controlName(member);
    }
    expectNoOverlapShown(*form);
}

TEST_F(Form1Test, ReturningToSingleFileEmptiesTheValuesButTheCrc) {
    form->Timer1_Timer();
    showWindow();
    clickFile("mk.v64");
    const QString crc = caption(Control::CRC);
    ASSERT_FALSE(crc.isEmpty());
    click(Control::Batchmodus);
    form->Timer1_Timer();
    // Results shown as a completed run leaves them.
    for (const Control member : kBatchResultGroup) {
        form->setControlVisible(member, true);
    }
    expectNoOverlapShown(*form);

    click(Control::Dateimodus);
    for (const Control value :
         {Control::Nameneu, Control::Romname, Control::Hersteller, Control::Cardid, Control::Land,
          Control::Namevoll, Control::Dateiname, Control::Dateityp}) {
        EXPECT_EQ(caption(value), "") << controlName(value);
    }
    EXPECT_EQ(caption(Control::CRC), crc);
    form->Timer1_Timer();
    for (const Control member : kBatchResultGroup) {
        EXPECT_FALSE(shown(member)) << controlName(member);
    }
    // Back in batch mode the results stay hidden until the next run.
    click(Control::Batchmodus);
    form->Timer1_Timer();
    EXPECT_FALSE(shown(Control::Listeunbekannt));
    EXPECT_FALSE(shown(Control::Labelinsgesamt));
    expectNoOverlapShown(*form);
}

TEST_F(Form1Test, ArrowKeysChooseTheModeLikeAClick) {
    showWindow();
    clickFile("mk.v64");
    ASSERT_TRUE(shown(Control::Command2));
    control(Control::Dateimodus)->setFocus();
    QTest::keyClick(control(Control::Dateimodus), Qt::Key_Down);
    EXPECT_TRUE(control<QRadioButton>(Control::Batchmodus)->isChecked());
    EXPECT_FALSE(shown(Control::Command2)) << "Batchmodus_Click ran";
}

TEST_F(Form1Test, NamingStyleDescriptionFollowsTheOptionInEitherMode) {
    const QString ultraHle =
        "Long filenames will be used, spaces will be replaced by underscores\n( _ )";
    click(Control::Optiondateinamenultrahle);
    form->Timer1_Timer();
    EXPECT_EQ(caption(Control::Namenmodus), ultraHle);
    click(Control::Batchmodus);
    click(Control::Optiondateinamennormal);
    form->Timer1_Timer();
    EXPECT_EQ(caption(Control::Namenmodus),
              "Normal long filenames that also can contain spaces will be used");
    click(Control::Optiondateinamenultrahle);
    form->Timer1_Timer();
    EXPECT_EQ(caption(Control::Namenmodus), ultraHle);
}

TEST_F(Form1Test, ClickingAFileShowsItAndTheStyleOptionsRewriteTheProposal) {
    showWindow();
    clickFile("mk.v64");
    EXPECT_EQ(caption(Control::Dateiname), "mk.v64");
    EXPECT_EQ(caption(Control::Namevoll), "Mario Kart 64");
    EXPECT_EQ(caption(Control::Nameneu), "Mario Kart 64 (USA).v64");
    EXPECT_TRUE(shown(Control::Command2));

    click(Control::Optiondateinamenultrahle);
    EXPECT_EQ(caption(Control::Nameneu), "Mario_Kart_64_(USA).v64");
    click(Control::Optiondateinamennormal);
    EXPECT_EQ(caption(Control::Nameneu), "Mario Kart 64 (USA).v64");

    // With the UltraHLE option chosen first, a click proposes the underscores.
    click(Control::Optiondateinamenultrahle);
    clickFile("mk.v64");
    EXPECT_EQ(caption(Control::Nameneu), "Mario_Kart_64_(USA).v64");

    // Without the button the marker stays, whatever the options do.
    clickFile("unknown.z64");
    EXPECT_EQ(caption(Control::Nameneu), "ROM_unknown_!");
    EXPECT_FALSE(shown(Control::Command2));
    click(Control::Optiondateinamennormal);
    EXPECT_EQ(caption(Control::Nameneu), "ROM_unknown_!");
    EXPECT_EQ(form->romIdentity().newFileName, "Mario Kart 64 (USA).v64")
        << "the name is rebuilt from the last title all the same";
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Form1Test, KeyboardSelectionInTheFileListRunsTheClick) {
    showWindow();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* list = control<FileList>(Control::Dateien);
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(caption(Control::Dateiname), "mk.v64") << "the first Down takes the first entry";
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_EQ(caption(Control::Dateiname), "unknown.z64");
    EXPECT_EQ(caption(Control::Nameneu), "ROM unknown !");
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_EQ(caption(Control::Dateiname), "notes.txt");
    EXPECT_EQ(caption(Control::Dateityp), "This is no N64 ROM Image !");
}

TEST_F(Form1Test, TheViewShowsTheHighlightedFileWhateverTheMouseDoes) {
    showWindow();
    auto* list = control<FileList>(Control::Dateien);
    const auto at = [&](const QString& name) {
        return list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0)).center();
    };
    const auto expectShown = [&](const char* name) {
        EXPECT_EQ(list->selectedFileName(), name);
        EXPECT_EQ(caption(Control::Dateiname).toStdString(), name);
    };
    // Pressed on one entry and let go on another, with and without moving between.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at("mk.v64"));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at("notes.txt"));
    expectShown("mk.v64");
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at("mk.v64"));
    QTest::mouseMove(list->viewport(), at("unknown.z64"));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at("unknown.z64"));
    expectShown("unknown.z64");
    // The right button chooses nothing.
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at("notes.txt"));
    expectShown("unknown.z64");
    // Ctrl+click on the highlighted entry leaves none, and nothing to rename.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at("mk.v64"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at("mk.v64"));
    expectShown("");
    EXPECT_EQ(caption(Control::Nameneu), "");
    EXPECT_FALSE(shown(Control::Command2));
}

TEST_F(Form1Test, RenameButtonRenamesAndTheListShowsTheNewName) {
    showWindow();
    clickFile("mk.v64");
    click(Control::Command2);
    EXPECT_EQ(readFile(folder.file("Mario Kart 64 (USA).v64")), romBytes);
    EXPECT_FALSE(fileExists(folder.file("mk.v64")));
    EXPECT_EQ(fileListEntries(),
              QStringList({"Mario Kart 64 (USA).v64", "notes.txt", "roms.ini", "unknown.z64"}));
    EXPECT_EQ(caption(Control::Dateiname), "");
    EXPECT_EQ(caption(Control::CRC), "");
    EXPECT_FALSE(shown(Control::Command2));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Form1Test, RenameFailuresShowTheirBoxes) {
    showWindow();
    folder.write("Mario Kart 64 (USA).v64", "in the way");
    clickFile("mk.v64");
    click(Control::Command2);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "A file named \"Mario Kart 64 (USA).v64\" already exists !");
    EXPECT_EQ(boxes.boxes[0].title, "Fehler !");
    EXPECT_FALSE(shown(Control::Command2));
    EXPECT_TRUE(fileExists(folder.file("mk.v64")));

    fs::remove(folder.file("Mario Kart 64 (USA).v64"));
    clickFile("mk.v64");
    {
        SystemCallFault refused(SystemCallFault::Call::RenameNoReplace, EACCES);
        click(Control::Command2);
    }
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].title, "Fehler !");
    EXPECT_NE(boxes.boxes[1].text.find("Permission denied"), std::string::npos);
    EXPECT_TRUE(shown(Control::Command2));
    EXPECT_EQ(caption(Control::Dateiname), "mk.v64");
}

TEST_F(Form1Test, RefusedFileShowsAccessDenied) {
    showWindow();
    clickFile("mk.v64");
    {
        SystemCallFault refused(SystemCallFault::Call::Open, EACCES);
        clickFile("notes.txt");
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Access denied !");
    EXPECT_EQ(boxes.boxes[0].title, "Error !");
    EXPECT_EQ(boxes.boxes[0].style, BoxStyle::OkExclamation);
    EXPECT_EQ(caption(Control::Dateiname), "notes.txt");
    EXPECT_EQ(caption(Control::Dateityp), "N64 Rom, byteswapped (Dr. V64 Format)");
}

TEST_F(Form1Test, NoNameListAnywhereIsToldOnceUntilOneTurnsUp) {
    showWindow();
    fs::remove(folder.file("roms.ini"));
    clickFile("mk.v64");
    clickFile("unknown.z64");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "Error !");
    EXPECT_EQ(boxes.boxes[0].style, BoxStyle::OkExclamation);
    EXPECT_NE(boxes.boxes[0].text.find(folder.file("roms.ini")), std::string::npos);
    // A list that turns up is read at once; once it is gone again, that is told again.
    folder.write("roms.ini", nameListLine("MARIO KART 64", "Mario Kart 64"));
    clickFile("mk.v64");
    EXPECT_EQ(caption(Control::Namevoll), "Mario Kart 64");
    fs::remove(folder.file("roms.ini"));
    clickFile("unknown.z64");
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(Form1Test, OpeningAFolderEmptiesTheViewAndARenameStaysWhereTheFileIs) {
    showWindow();
    fs::create_directory(folder.file("sorted"));
    folder.write("sorted/inside.txt", "text");
    control<FolderList>(Control::Ordner)->setPath(folder.path());
    clickFile("mk.v64");

    auto* folders = control<FolderList>(Control::Ordner);
    // Opening the folder that is open already changes nothing.
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(control<FileList>(Control::Dateien)->selectedFileName(), "mk.v64");
    EXPECT_TRUE(shown(Control::Command2));
    const QList<QListWidgetItem*> found = folders->findItems("sorted", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    emit folders->itemActivated(found[0]);
    EXPECT_EQ(folders->path(), folder.file("sorted"));
    EXPECT_EQ(fileListEntries(), QStringList({"inside.txt"}));
    EXPECT_EQ(caption(Control::Nameneu), "");
    EXPECT_EQ(caption(Control::Dateiname), "");
    EXPECT_FALSE(shown(Control::Command2));

    // Even a rename started anyway leaves the file in its own folder.
    form->Command2_Click();
    EXPECT_EQ(readFile(folder.file("Mario Kart 64 (USA).v64")), romBytes);
    EXPECT_EQ(fileListEntries(), QStringList({"inside.txt"}));

    // The folder list shows the ancestors down to the current folder.
    EXPECT_EQ(folders->item(0)->text(), "/");
    EXPECT_EQ(folders->currentItem()->text(), "sorted");
}

TEST_F(Form1Test, ListsFollowF5AndChangesMadeElsewhere) {
    showWindow();
    clickFile("mk.v64");
    folder.write("added.z64", "x");
    fs::create_directory(folder.file("new folder"));
    QTest::keyClick(form.get(), Qt::Key_F5);
    EXPECT_EQ(fileListEntries(),
              QStringList({"added.z64", "mk.v64", "notes.txt", "roms.ini", "unknown.z64"}));
    EXPECT_EQ(
        control<FolderList>(Control::Ordner)->findItems("new folder", Qt::MatchExactly).size(), 1);
    EXPECT_EQ(control<FileList>(Control::Dateien)->selectedFileName(), "mk.v64");
    EXPECT_EQ(caption(Control::Dateiname), "mk.v64") << "a re-read identifies nothing anew";
    EXPECT_TRUE(boxes.boxes.empty());

    // Another program renames the file shown: the list follows by itself, and
    // the view of a file that is gone goes with it.
    fs::rename(folder.file("mk.v64"), folder.file("kart.v64"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fileListEntries().contains("kart.v64"); }, 5000));
    EXPECT_EQ(caption(Control::Dateiname), "");
    EXPECT_FALSE(shown(Control::Command2));
}

TEST_F(Form1Test, SettingsThatAreNoFileAreNeverOpened) {
    const fs::path settings = settingsFilePath();
    fs::create_directories(settings.parent_path());
    fs::remove(settings);
    ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
    Form1 second; // reading a FIFO would wait for a writer for ever
    QTest::mouseClick(second.control(Control::Optiondateinamenultrahle), Qt::LeftButton);
    EXPECT_TRUE(fs::is_fifo(settings));
    fs::remove(settings);

    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "relative");
    EXPECT_EQ(settingsFilePath(), "") << "not kept in /.config";
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", config);
}

TEST_F(Form1Test, FailedDriveChangeAsksRetryOrCancel) {
    TempFolder first;
    TempFolder second;
    second.write("on-second.v64", "x");
    auto* drives = control<DriveList>(Control::Laufwerk);
    drives->setDrives({first.path(), second.path()}, first.path());
    control<FolderList>(Control::Ordner)->setPath(first.path());

    std::optional<SystemCallFault> noMedium;
    noMedium.emplace(SystemCallFault::Call::Opendir, ENOMEDIUM);
    // Retry twice; the medium comes before the second retry.
    boxes.answer = [&](std::size_t count) {
        if (count == 2) {
            noMedium.reset();
        }
        return BoxButton::Retry;
    };
    drives->setCurrentIndex(1);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    for (const auto& box : boxes.boxes) {
        EXPECT_EQ(box.title, "Error !");
        EXPECT_EQ(box.style, BoxStyle::RetryCancel);
        EXPECT_NE(box.text.find("Disk not ready"), std::string::npos) << box.text;
    }
    EXPECT_EQ(control<FolderList>(Control::Ordner)->path(), second.path());
    EXPECT_EQ(fileListEntries(), QStringList({"on-second.v64"}));

    // Cancel leaves the folder and the files while the drive list moves on.
    boxes.boxes.clear();
    noMedium.emplace(SystemCallFault::Call::Opendir, ENOMEDIUM);
    boxes.answer = [](std::size_t) { return BoxButton::Cancel; };
    drives->setCurrentIndex(0);
    noMedium.reset();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(drives->selectedDrive(), first.path());
    EXPECT_EQ(control<FolderList>(Control::Ordner)->path(), second.path());
    EXPECT_EQ(fileListEntries(), QStringList({"on-second.v64"}));
}

TEST_F(Form1Test, AboutBoxHasItsElevenLines) {
    click(Control::Command3);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, "About Quillmark...");
    EXPECT_EQ(boxes.boxes[0].style, BoxStyle::Ok);
    const QStringList lines = QString::fromStdString(boxes.boxes[0].text).split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(boxes.boxes[0].text.find('\r'), std::string::npos);
    EXPECT_TRUE(lines[0].contains(QString::fromUtf8(kCredit.data(), kCredit.size())));
    EXPECT_TRUE(lines[2].contains(QString::fromUtf8(kWebAddress.data(), kWebAddress.size())));
    EXPECT_EQ(lines[6],
              QString(11, ' ') + QString::fromUtf8(kEmailAddress.data(), kEmailAddress.size()));
    for (const int empty : {1, 3, 7}) {
        EXPECT_EQ(lines[empty], "") << empty;
    }
    EXPECT_EQ(lines[4], "Errors, suggestions, unknown ROMs ?");
    EXPECT_EQ(lines[5], "Feel free to email me:");
    EXPECT_EQ(lines[8], "Attention: The use of this program");
    EXPECT_EQ(lines[9], "is on your own risk ! The user is responsible");
    EXPECT_EQ(lines[10], "for any damage resulting from the use of this program !");
    // Enter and Return press the button that has the focus.
    QTest::keyClick(control(Control::Command3), Qt::Key_Return);
    QTest::keyClick(control(Control::Command3), Qt::Key_Enter);
    EXPECT_EQ(boxes.boxes.size(), 3u);
}

TEST_F(Form1Test, ExitAndTheCloseBoxEndTheEventLoop) {
    showWindow();
    QTimer::singleShot(0, [this] { click(Control::Command1); });
    EXPECT_EQ(QApplication::exec(), 0);
    showWindow();
    QTimer::singleShot(0, [this] { form->close(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(Form1Test, CommandLineOpensOnAFolderOrOnAFileAsAClickWould) {
    fs::create_directory(folder.file("sub"));
    const struct {
        std::vector<std::string> args;
        std::optional<int> status;
        std::string folder, file; // where the window opens, what it shows
    } cases[] = {
        {{"sub"}, {}, folder.file("sub"), ""},
        {{"sub/../mk.v64"}, {}, folder.path(), "mk.v64"},
        {{"--last-folder", folder.file("unknown.z64")}, {}, folder.path(), "unknown.z64"},
        {{"mk.v64", "unknown.z64"}, 2, "", ""},
        {{"mk.v64", "sub"}, 2, "", ""},
        {{"missing.v64"}, 2, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        StartRequest request;
        std::ostringstream out, err;
        ASSERT_EQ(readCommandLine(c.args, request, out, err), c.status) << err.str();
        EXPECT_EQ(err.str().empty(), !c.status);
        if (c.status) {
            continue;
        }
        Form1 window(startFolder(request));
        window.setMessageBoxes(&boxes);
        window.showFile(request.file);
        const auto* list = static_cast<const FileList*>(window.control(Control::Dateien));
        EXPECT_EQ(list->path(), c.folder);
        EXPECT_EQ(list->selectedFileName(), c.file);
        EXPECT_EQ(static_cast<QLabel*>(window.control(Control::Dateiname))->text().toStdString(),
                  c.file);
    }
}

} // namespace
} // namespace quillmark::test
