#include "support/system_call_fault.h"
#include "ui/form1_fixture.h"

#include <QEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <optional>

namespace quillmark::test {
namespace {

namespace fs = std::filesystem;

constexpr Control kCountLabels[] = {Control::Labelinsgesamt, Control::Labelanzahlroms,
                                    Control::Labelumbenannt, Control::Labelident};

// What the progress bar and the status line showed whenever either was painted
// (they touch, so one's paint may bring the other's), each state once.
class PaintRecorder : public QObject {
public:
    PaintRecorder(QProgressBar* bar, QLabel* status) : bar_(bar), status_(status) {
        bar->installEventFilter(this);
        status->installEventFilter(this);
    }

    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && (watched == bar_ || watched == status_)) {
            const QString state = QString::number(bar_->value()) + '|' + status_->text();
            if (painted.isEmpty() || painted.back() != state) {
                painted << state;
            }
        }
        return false;
    }

private:
    QProgressBar* bar_;
    QLabel* status_;
};

class Form1Batch : public Form1Test {
protected:
    // The window in batch mode, as a user gets there.
    void enterBatchMode() {
        showWindow();
        form->Timer1_Timer();
        click(Control::Batchmodus);
        form->Timer1_Timer();
    }

    // A click on "Start batchmode"; no file may lose or change its bytes.
    void startRun(const TempFolder& in) {
        const std::vector<std::string> before = in.contents();
        control<QPushButton>(Control::Batchrun)->click();
        EXPECT_EQ(in.contents(), before) << "a file's bytes changed or a file vanished";
    }

    // The run's one message box, checked for its title and style; its text.
    std::string onlyBox(std::string_view title, BoxStyle style) const {
        EXPECT_EQ(boxes.boxes.size(), 1u);
        if (boxes.boxes.empty()) {
            return {};
        }
        EXPECT_EQ(boxes.boxes[0].title, title);
        EXPECT_EQ(boxes.boxes[0].style, style);
        return boxes.boxes[0].text;
    }

    int progress() const { return control<QProgressBar>(Control::ProgressBar)->value(); }

    QStringList listEntries(Control list) const {
        QStringList entries;
        auto* box = control<QListWidget>(list);
        for (int row = 0; row < box->count(); ++row) {
            entries << box->item(row)->text();
        }
        return entries;
    }

    void expectValuesCleared() {
        for (const Control value :
             {Control::Romname, Control::Hersteller, Control::Cardid, Control::Land}) {
            EXPECT_EQ(caption(value), "") << controlName(value);
        }
    }

    void expectResultsShown(bool visible) {
        for (const Control member : kBatchResultGroup) {
            EXPECT_EQ(shown(member), visible) << controlName(member);
        }
    }

    // Total, ROM images, renamed, unidentified, as the labels show them.
    QStringList counts() const {
        QStringList texts;
        for (const Control label : kCountLabels) {
            texts << caption(label);
        }
        return texts;
    }
};

TEST_F(Form1Batch, FinishedRunShowsResultsAndTheRenamedFiles) {
    enterBatchMode();
    // The window's own box would run the event loop; the scripted one must
    // find that nothing ran in between: no tick, no posted call.
    QObject scope; // ends both connections with the test
    int ticks = 0;
    QObject::connect(form->timer(), &QTimer::timeout, &scope, [&] { ++ticks; });
    bool postedCallRan = false;
    QTimer::singleShot(0, &scope, [&] { postedCallRan = true; });
    PaintRecorder paints(control<QProgressBar>(Control::ProgressBar),
                         control<QLabel>(Control::Label17));
    QStringList atBox;
    boxes.answer = [&](std::size_t) {
        atBox = paints.painted;
        EXPECT_EQ(ticks, 0);
        EXPECT_FALSE(postedCallRan);
        EXPECT_FALSE(shown(Control::Labelinsgesamt)) << "the counts come after the box";
        return BoxButton::Ok;
    };

    startRun(folder);
    EXPECT_EQ(atBox, QStringList({"0|", "25|", "25|Batchmode runs...", "50|Batchmode runs...",
                                  "75|Batchmode runs...", "100|Batchmode runs...",
                                  "100|Batchmode runs...  Finished !"}));
    EXPECT_EQ(onlyBox("Quillmark:", BoxStyle::OkInformation), "Batchrun finished !");

    EXPECT_EQ(caption(Control::Label17), "Batchmode runs...  Finished !");
    EXPECT_EQ(progress(), 100);
    EXPECT_EQ(listEntries(Control::Listeunbekannt), QStringList({"unknown.z64"}));
    EXPECT_EQ(listEntries(Control::Listeschonrichtig), QStringList());
    expectResultsShown(true);
    EXPECT_EQ(counts(), QStringList({" 4", " 2", " 1", " 0"}));
    EXPECT_EQ(fileListEntries(),
              QStringList({"Mario Kart 64 (USA).v64", "notes.txt", "roms.ini", "unknown.z64"}));
    expectValuesCleared();
    EXPECT_EQ(caption(Control::Namevoll), "");
    EXPECT_EQ(caption(Control::Nameneu), "ROM unknown !");

    // A second run finds the name right, and the lists start afresh.
    boxes.answer = nullptr;
    startRun(folder);
    EXPECT_EQ(listEntries(Control::Listeschonrichtig), QStringList({"Mario Kart 64 (USA).v64"}));
    EXPECT_EQ(listEntries(Control::Listeunbekannt), QStringList({"unknown.z64"}));
    EXPECT_EQ(counts(), QStringList({" 4", " 2", " 0", " 0"}));
    // Back in single-file mode the results are hidden again.
    click(Control::Dateimodus);
    form->Timer1_Timer();
    expectResultsShown(false);
}

TEST_F(Form1Batch, RunUsesTheChosenNamingStyle) {
    click(Control::Optiondateinamenultrahle);
    enterBatchMode();
    startRun(folder);
    EXPECT_EQ(readFile(folder.file("Mario_Kart_64_(USA).v64")), romBytes);
    EXPECT_EQ(caption(Control::Nameneu), "ROM_unknown_!");
}

TEST_F(Form1Batch, NamesThatAreNoUtf8AreRenamedByTheirBytes) {
    // The list shows such a name with a stand-in character; the run must
    // still open the file by its own bytes.
    fs::rename(folder.file("mk.v64"), folder.file("caf\xE9.v64"));
    RomFields unknown;
    unknown.internalName = "NOBODY EITHER";
    folder.write("\xFFodd.z64", romImage(unknown, ByteOrder::Z64));
    form->rereadFileList();
    enterBatchMode();
    startRun(folder);
    EXPECT_EQ(onlyBox("Quillmark:", BoxStyle::OkInformation), "Batchrun finished !");
    EXPECT_EQ(readFile(folder.file("Mario Kart 64 (USA).v64")), romBytes);
    EXPECT_EQ(counts(), QStringList({" 5", " 3", " 1", " 0"}));
}

TEST_F(Form1Batch, EmptyFolderLeavesTheEarlierResultsAsTheyWere) {
    enterBatchMode();
    startRun(folder);
    TempFolder empty;
    control<FolderList>(Control::Ordner)->setPath(empty.path());
    ASSERT_EQ(fileListEntries(), QStringList());
    boxes.boxes.clear();

    startRun(empty);
    EXPECT_EQ(onlyBox("Alert !", BoxStyle::OkInformation),
              "There are no files in this directory !");
    EXPECT_EQ(caption(Control::Label17), "There are no files in this directory !");
    EXPECT_EQ(progress(), 0);
    EXPECT_EQ(listEntries(Control::Listeunbekannt), QStringList());
    expectResultsShown(true);
    EXPECT_EQ(counts(), QStringList({" 4", " 2", " 1", " 0"}));
    expectValuesCleared();
    EXPECT_EQ(caption(Control::Nameneu), "");
}

TEST_F(Form1Batch, AbortedRunsSayWhyAndKeepTheWindowAsItWas) {
    enterBatchMode();
    // A finished run elsewhere leaves its results shown.
    TempFolder other;
    other.write("a.txt", "text");
    control<FolderList>(Control::Ordner)->setPath(other.path());
    startRun(other);

    struct Case {
        const char* what;
        std::optional<SystemCallFault::Call> refused;
        std::string text; // "" for the failure's own description
        int progress;
    };
    const Case cases[] = {
        {"rename refused", SystemCallFault::Call::RenameNoReplace,
         "Access denied ! Batchmode aborted !", 25},
        {"open refused", SystemCallFault::Call::Open, "Access denied ! Batchmode aborted !", 25},
        {"no name list", std::nullopt, "", 25},
        {"second copy", std::nullopt,
         "A file named \"Mario Kart 64 (USA).v64\" already exists !\nProgress aborted !", 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.text.empty()) {
            fs::rename(folder.file("roms.ini"), folder.file("names.ini"));
        } else if (c.progress == 40) {
            fs::rename(folder.file("names.ini"), folder.file("roms.ini"));
            RomFields copy;
            copy.internalName = "MARIO KART 64";
            folder.write("mk2.z64", romImage(copy, ByteOrder::Z64));
        }
        control<FolderList>(Control::Ordner)->setPath(folder.path());
        form->rereadFileList();
        boxes.boxes.clear();
        std::optional<SystemCallFault> fault;
        if (c.refused) {
            fault.emplace(*c.refused, EACCES);
        }
        startRun(folder);
        fault.reset();

        const std::string text = onlyBox("Fehler !", BoxStyle::OkExclamation);
        if (c.text.empty()) {
            EXPECT_EQ(text.rfind("Batchmode aborted !\nFile not found", 0), 0u) << text;
        } else {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(caption(Control::Label17), "Batchmode aborted !");
        EXPECT_EQ(progress(), c.progress);
        // The earlier run's results stay, shown.
        expectResultsShown(true);
        EXPECT_EQ(counts(), QStringList({" 1", " 0", " 0", " 0"}));
        EXPECT_EQ(fileListEntries().contains("Mario Kart 64 (USA).v64"), c.progress == 40)
            << "re-read";
        expectValuesCleared();
    }
    // The first copy was renamed before the second met its name.
    EXPECT_EQ(readFile(folder.file("Mario Kart 64 (USA).v64")), romBytes);
    EXPECT_TRUE(fileExists(folder.file("mk2.z64")));
    EXPECT_EQ(listEntries(Control::Listeunbekannt), QStringList());
    EXPECT_EQ(caption(Control::Nameneu), "Mario Kart 64 (USA).v64");
}

TEST_F(Form1Batch, RunAfterAnAbortedOneWorksOnTheFolderAsItIsNow) {
    RomFields copy;
    copy.internalName = "MARIO KART 64";
    folder.write("mk2.z64", romImage(copy, ByteOrder::Z64));
    form->rereadFileList();
    enterBatchMode();
    startRun(folder);
    ASSERT_EQ(caption(Control::Label17), "Batchmode aborted !");
    fs::remove(folder.file("mk2.z64")); // as the user would, in another program
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fileListEntries().contains("mk2.z64"); }, 5000));
    boxes.boxes.clear();

    startRun(folder);
    EXPECT_EQ(onlyBox("Quillmark:", BoxStyle::OkInformation), "Batchrun finished !");
    EXPECT_EQ(counts(), QStringList({" 4", " 2", " 0", " 0"}));
    EXPECT_EQ(listEntries(Control::Listeschonrichtig), QStringList({"Mario Kart 64 (USA).v64"}));
}

} // namespace
} // namespace quillmark::test
