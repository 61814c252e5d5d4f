// Times the window against the core, offscreen: how long the file list takes
// to show a large folder, and a click on "Start batchmode" against runBatch
// alone over an identical fresh folder (the same synthetic files, made anew
// for every pass; making them is not timed). The window's message boxes are
// answered at once.
//
//   window_bench [--runs R] [--dir DIR] [--batch N] [--list M]
//                default: 5 runs, a batch of 10000 files, a list of 100000

#include "bench_support.h"
#include "core/batch_run.h"
#include "fsys/folder_listing.h"
#include "synthetic_folder.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/form1.h"
#include "ui/presenter/header_texts.h"
#include "ui/presenter/message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmark;
using namespace quillmark::bench;

// Every box answered with OK at once; the last one kept to check the outcome.
class InstantBoxes : public MessageBoxes {
public:
    BoxButton showMessage(std::string_view text, std::string_view, BoxStyle) override {
        last = std::string(text);
        return BoxButton::Ok;
    }
    std::string last;
};

std::string freshFolder(const std::string& root, std::size_t count, int pass) {
    std::string folder = root + "/batch-" + std::to_string(pass);
    createSyntheticFolder(folder, count);
    settle(folder);
    return folder;
}

double secondsSince(Clock::time_point start) {
    return seconds(start, Clock::now());
}

// The window in batch mode, shown, with its boxes answered at once.
struct Window {
    InstantBoxes boxes;
    Form1 form;

    Window() {
        form.setMessageBoxes(&boxes);
        form.show();
        static_cast<QRadioButton*>(form.control(Control::Batchmodus))->click();
        form.Timer1_Timer();
        QApplication::processEvents();
    }

    FolderList* folders() const { return static_cast<FolderList*>(form.control(Control::Ordner)); }
    FileList* files() const { return static_cast<FileList*>(form.control(Control::Dateien)); }
};

// The file list pointed at a folder of `count` files, until it is painted.
void timeFileList(const std::string& root, std::size_t count, int runs) {
    const std::string folder = root + "/list";
    createSyntheticFolder(folder, count);
    settle(folder);
    Window window;
    // The list shows in single-file mode.
    static_cast<QRadioButton*>(window.form.control(Control::Dateimodus))->click();
    window.form.Timer1_Timer();
    QApplication::processEvents();

    std::vector<double> shown, listing;
    for (int i = 0; i < runs; ++i) {
        window.folders()->setPath(root);
        QApplication::processEvents();
        Clock::time_point start = Clock::now();
        if (listFolderFiles(folder).size() != count) {
            throw std::runtime_error("the listing missed files");
        }
        listing.push_back(secondsSince(start));

        start = Clock::now();
        window.folders()->setPath(folder);
        window.files()->repaint();
        shown.push_back(secondsSince(start));
        if (static_cast<std::size_t>(window.files()->count()) != count) {
            throw std::runtime_error("the file list missed files");
        }
    }
    std::printf("| file list of %zu files | %.1f ms | listing alone %.1f ms |\n", count,
                median(shown) * 1e3, median(listing) * 1e3);
}

void timeBatch(const std::string& root, std::size_t count, int runs) {
    Window window;
    std::vector<double> inWindow, alone, reread;
    int pass = 0;
    const auto windowPass = [&] {
        const std::string folder = freshFolder(root, count, pass++);
        window.folders()->setPath(folder);
        QApplication::processEvents();
        const Clock::time_point start = Clock::now();
        static_cast<QAbstractButton*>(window.form.control(Control::Batchrun))->click();
        inWindow.push_back(secondsSince(start));
        if (window.boxes.last != "Batchrun finished !") {
            throw std::runtime_error("the window's run ended with: " + window.boxes.last);
        }
        // The share of the file list's re-read at the end, timed once more.
        const Clock::time_point rereadStart = Clock::now();
        window.files()->reread();
        reread.push_back(secondsSince(rereadStart));
        window.folders()->setPath(root);
        removeFolder(folder);
    };
    NameList nameList; // kept across passes, as the window keeps its own
    const auto corePass = [&] {
        const std::string folder = freshFolder(root, count, pass++);
        const std::vector<std::string> names = listFolderFiles(folder);
        BatchObserver silent;
        const Clock::time_point start = Clock::now();
        const BatchReport report = runBatch(
            folder, names, NamingRule{NamingStyle::Normal, batchCountrySuffix}, silent, nameList);
        alone.push_back(secondsSince(start));
        if (report.outcome != BatchOutcome::Finished) {
            throw std::runtime_error("runBatch ended with " + report.failureDescription);
        }
        removeFolder(folder);
    };
    for (int i = 0; i < runs; ++i) {
        // Alternate the order, so that drift on a busy machine hits both alike.
        if (i % 2 == 0) {
            windowPass();
            corePass();
        } else {
            corePass();
            windowPass();
        }
    }
    const double windowSeconds = median(inWindow);
    const double coreSeconds = median(alone);
    std::printf("| batch run of %zu files | window %.1f ms | runBatch alone %.1f ms | "
                "window/runBatch %.2f | file list re-read %.1f ms |\n",
                count, windowSeconds * 1e3, coreSeconds * 1e3, windowSeconds / coreSeconds,
                median(reread) * 1e3);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    try {
        int runs = 5;
        std::size_t batch = 10000;
        std::size_t list = 100000;
        std::string dir = std::filesystem::temp_directory_path().string();
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (i + 1 >= argc) {
                throw std::invalid_argument(arg + " needs a value");
            }
            if (arg == "--runs") {
                runs = static_cast<int>(parseCount(argv[++i]));
            } else if (arg == "--batch") {
                batch = parseCount(argv[++i]);
            } else if (arg == "--list") {
                list = parseCount(argv[++i]);
            } else if (arg == "--dir") {
                dir = argv[++i];
            } else {
                throw std::invalid_argument(arg);
            }
        }
        const ScratchFolder scratch(dir, "quillmark-window-bench");
        const std::string& root = scratch.path();
        // The window starts in its working folder, where the name list is read;
        // the folders it remembers go to the scratch folder, not the user's settings.
        std::filesystem::current_path(root);
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root));
        writeSettledNameList(root + "/roms.ini", batch);

        timeBatch(root, batch, runs);
        timeFileList(root, list, runs);
        std::printf("medians of %d runs each, platform %s\n", runs,
                    QApplication::platformName().toUtf8().constData());
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "window_bench: " << e.what()
                  << "\nusage: window_bench [--runs R] [--dir DIR] [--batch N] [--list M]\n";
        return 1;
    }
}
