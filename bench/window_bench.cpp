// Times the window against the core, offscreen: how long the file list takes
// to show a large folder, and a click on "Start batchmode" against runBatch
// alone over an identical fresh folder (the same synthetic files, made anew
// for every pass; making them is not timed). The window's message boxes are
// answered at once.
//
//   window_bench [--runs R] [--dir DIR] [--batch N] [--list M]
//                default: 5 runs, a batch of 10000 files, a list of 100000

#include "fsys/folder_listing.h"
#include "rename/batch_run.h"
#include "rename/message_boxes.h"
#include "synthetic_folder.h"
#include "ui/file_list.h"
#include "ui/folder_list.h"
#include "ui/form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace quillmark;
using namespace quillmark::bench;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMinimumRecords = 1000;

// Every box answered with OK at once; the last one kept to check the outcome.
class InstantBoxes : public MessageBoxes {
public:
    BoxButton showMessage(std::string_view text, std::string_view, BoxStyle) override {
        last = std::string(text);
        return BoxButton::Ok;
    }
    std::string last;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Writes the new folder's data out, so that write-back does not land in a timed pass.
void settle(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

// A user's name list was written long before a run (a list seconds old is
// parsed again on every lookup, its time stamp could hide an edit).
void writeSettledNameList(const std::string& path, std::size_t count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << syntheticNameList(count, kMinimumRecords);
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) -
                                               std::chrono::hours(1));
}

std::string freshFolder(const std::string& root, std::size_t count, int pass) {
    const std::string folder = root + "/batch-" + std::to_string(pass);
    createSyntheticFolder(folder, count);
    settle(folder);
    return folder;
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
    const auto corePass = [&] {
        const std::string folder = freshFolder(root, count, pass++);
        const std::vector<std::string> names = listFolderFiles(folder);
        RomIdentity identity;
        BatchObserver silent;
        const Clock::time_point start = Clock::now();
        const BatchReport report = runBatch(identity, folder, names, NamingStyle::Normal, silent);
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

std::size_t parseCount(const char* text) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || *end != '\0' || value == 0) {
        throw std::invalid_argument(text);
    }
    return static_cast<std::size_t>(value);
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
                throw std::invalid_argument(arg);
            } else if (arg == "--runs") {
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
        std::string root = dir + "/quillmark-window-bench-XXXXXX";
        if (::mkdtemp(root.data()) == nullptr) {
            throw std::runtime_error("cannot create a folder in " + dir);
        }
        struct Cleanup {
            std::string root;
            ~Cleanup() { removeFolder(root); }
        } cleanup{root};
        // The window starts in its working folder, where the name list is read.
        std::filesystem::current_path(root);
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
