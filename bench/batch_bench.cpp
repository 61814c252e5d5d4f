// Times the batch run over synthetic ROM folders against a floor: the bare
// system calls of the same work (open, fstat, read 64 bytes and close each
// file, and a no-replace rename for each file the run renames) over the same
// folder with the same names and bytes, in the same process. Making and
// restoring the folder is not timed.
//
//   batch_bench [--runs R] [--dir DIR] [--records R] [--fresh-list] [--list FILE] [N ...]
//                                                default: 5 runs of 1000 10000 100000; the
//                                                name list synthetic (at least R records,
//                                                1000 by default), an hour old unless
//                                                --fresh-list (written just before each
//                                                run), or FILE (the shipped list, say);
//                                                with --probe PROGRAM also a whole
//                                                `PROGRAM batch` process against the floor
//   batch_bench --cold [--runs R] [--dir DIR] [N ...]
//                                                the run on a folder just out of the page
//                                                cache against the same run on an identical
//                                                cached folder; default: 5 runs of 20000
//   batch_bench --cli PROGRAM [--runs R] [--dir DIR] [N ...]
//                                                whole processes of quillmark-cli: rename
//                                                against the floor, plan against a process
//                                                that only lists the folder and reads the
//                                                headers; default: 5 runs of 100000
//   batch_bench --zipped [--cold] [--runs R] [--dir DIR] [N ...]
//                                                the run over the same files each zipped
//                                                alone (a 1 MiB member) against the run over
//                                                them loose, both warm; with --cold the
//                                                zipped run on a folder just out of the page
//                                                cache against it cached; default: 3 runs
//                                                of 10000
//   batch_bench --journal [--cli PROGRAM] [--runs R] [--dir DIR] [N ...]
//                                                the run with its journal against the run
//                                                without; with --cli also quillmark-cli
//                                                rename with its journal against one whose
//                                                journal folder cannot be made (so it runs
//                                                without); default: 3 runs of 100000
//   batch_bench --make N DIR [--zipped]          DIR/roms with N files (zipped) and
//                                                DIR/roms.ini, to time or measure a run
//                                                elsewhere

#include "bench_support.h"
#include "core/batch_run.h"
#include "core/header_read_ahead.h"
#include "core/journal.h"
#include "fsys/folder_listing.h"
#include "kit/whole_file.h"
#include "romid/country.h"
#include "synthetic_folder.h"
#include "ui/presenter/header_texts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

using namespace quillmark;
using namespace quillmark::bench;

// Stands in for the window: takes every notification, does next to nothing.
class CountingObserver : public BatchObserver {
public:
    void fileStarted(std::size_t index, std::string_view fileName) override {
        last += static_cast<std::int64_t>(index + fileName.size());
    }
    void fileIdentified(std::size_t /*index*/, const RomHeader& /*rom*/,
                        const TitleLookup& /*title*/, const ProposedName& name) override {
        last += static_cast<std::int64_t>(name.name.size());
    }

    std::int64_t last = 0;
};

double maxRssMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kB on Linux
}

void renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        throw std::runtime_error("cannot rename " + from + ": " + std::strerror(errno));
    }
}

// Which name list the runs read, and how fresh it is.
struct ListChoice {
    std::size_t minimumRecords = kMinimumRecords;
    bool fresh = false; // written just before each run: its time stamp not yet settled
    std::string file;   // a list of one's own instead of the synthetic one
};

// Learns which files a run renames, and to what.
class RenameRecorder : public BatchObserver {
public:
    void fileStarted(std::size_t /*index*/, std::string_view fileName) override {
        current_ = fileName;
    }
    void fileRenamed(std::size_t /*index*/, std::string_view newName) override {
        renames.emplace(current_, newName);
    }

    std::unordered_map<std::string, std::string> renames;

private:
    std::string current_;
};

// One synthetic folder that both the run and the floor work on in turn. After
// each timed pass every renamed file gets its first name back, so each pass
// meets the same names and bytes as the freshly made folder. Making the
// folder costs far more than the work timed here on some file systems, which
// is why it is made once.
class Workbench {
public:
    Workbench(std::string folder, std::size_t count, const ListChoice& list,
              const NamingRule& rule = NamingRule{NamingStyle::Normal, batchCountrySuffix},
              bool zipped = false)
        : folder_(std::move(folder)), count_(count), list_(list), rule_(rule) {
        if (zipped) {
            createZippedFolder(folder_, count_);
        } else {
            createSyntheticFolder(folder_, count_);
        }
        original_ = listFolderFiles(folder_);
        // The floor renames what a run renames: learnt from one untimed run.
        RenameRecorder recorder;
        touchList();
        const BatchReport report = runBatch(folder_, original_, rule_, recorder, names_);
        if (report.outcome != BatchOutcome::Finished) {
            throw std::runtime_error("the first run did not finish: " + report.failureDescription);
        }
        steps_.reserve(count_);
        for (const std::string& name : original_) {
            const auto renamed = recorder.renames.find(name);
            steps_.push_back({folder_ + "/" + name, renamed == recorder.renames.end()
                                                        ? std::string()
                                                        : folder_ + "/" + renamed->second});
        }
        renames_ = recorder.renames.size();
        finishPass();
    }
    ~Workbench() { removeFolder(folder_); }
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    // Seconds of runBatch alone; the listing before it is timed apart. With
    // `journals`, the run is recorded there.
    double timeRun(double& listingSeconds, const std::string* journals = nullptr) {
        settle(folder_);
        touchList();
        const Clock::time_point listStart = Clock::now();
        const std::vector<std::string> names = listFolderFiles(folder_);
        const Clock::time_point start = Clock::now();
        CountingObserver observer;
        std::optional<RunJournal> journal;
        if (journals != nullptr) {
            journal.emplace(*journals, RunKind::Batch);
        }
        const BatchReport report =
            runBatch(folder_, names, rule_, observer, names_, journal ? &*journal : nullptr);
        const Clock::time_point end = Clock::now();
        if (journal && (!journal->written() || journal->problem())) {
            throw std::runtime_error("the run's journal was not written");
        }
        listingSeconds = seconds(listStart, start);
        if (report.outcome != BatchOutcome::Finished ||
            static_cast<std::size_t>(report.renamedCount) != renames_ ||
            static_cast<std::size_t>(report.totalFiles) != count_) {
            throw std::runtime_error("the run did not do the planned work (failure " +
                                     std::to_string(report.failureCode) + ": " +
                                     report.failureDescription + ")");
        }
        finishPass();
        return seconds(start, end);
    }

    // The system calls the run cannot do without: each file opened (without
    // blocking), its status read (special files are never read), 64 bytes
    // read, closed; and the renames.
    double timeFloor() {
        settle(folder_);
        char buffer[64];
        struct stat st {};
        const Clock::time_point start = Clock::now();
        for (const Step& step : steps_) {
            const int fd = ::open(step.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0 || ::fstat(fd, &st) != 0 || ::read(fd, buffer, sizeof buffer) < 0) {
                throw std::runtime_error("floor: cannot read " + step.path);
            }
            ::close(fd);
            if (!step.target.empty()) {
                renameNoReplace(step.path, step.target);
            }
        }
        const Clock::time_point end = Clock::now();
        finishPass();
        return seconds(start, end);
    }

    std::size_t renames() const { return renames_; }
    const std::string& folder() const { return folder_; }

    // Seconds of a whole process run on the folder; when it renames, the
    // pass must leave the names a run leaves. (Its peak memory is not told:
    // a spawned child's counts the parent's pages from before its exec.)
    // `stateHome`, when given, is the process's XDG_STATE_HOME.
    double timeProcess(const std::vector<std::string>& args, bool renames,
                       const std::string& stateHome = {}) {
        settle(folder_);
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            if (stateHome.empty() || !std::string_view(*e).starts_with("XDG_STATE_HOME=")) {
                env.emplace_back(*e);
            }
        }
        if (!stateHome.empty()) {
            env.push_back("XDG_STATE_HOME=" + stateHome);
        }
        std::vector<char*> envp;
        for (std::string& entry : env) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::vector<char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (!stateHome.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        }
        pid_t pid = 0;
        const Clock::time_point start = Clock::now();
        const int failed =
            ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (failed != 0 || ::waitpid(pid, &status, 0) != pid) {
            throw std::runtime_error("cannot run " + args[0]);
        }
        const Clock::time_point end = Clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            throw std::runtime_error(args[0] + " " + args[1] + " failed: status " +
                                     std::to_string(status));
        }
        if (renames) {
            finishPass();
        }
        return seconds(start, end);
    }

private:
    struct Step {
        std::string path;
        std::string target; // empty: not renamed
    };

    // A list written a moment ago: its stamp is not settled for the run.
    void touchList() const {
        if (list_.fresh) {
            std::filesystem::last_write_time("roms.ini",
                                             std::filesystem::file_time_type::clock::now());
        }
    }

    // Checks that the pass left the planned names, then gives the files their first names back.
    void finishPass() {
        std::vector<std::string> after = listFolderFiles(folder_);
        if (renamedListing_.empty()) {
            renamedListing_ = std::move(after);
        } else if (after != renamedListing_) {
            throw std::runtime_error("the run and the floor left different folders");
        }
        for (const Step& step : steps_) {
            if (!step.target.empty()) {
                renameNoReplace(step.target, step.path);
            }
        }
        if (listFolderFiles(folder_) != original_) {
            throw std::runtime_error("the folder could not be restored");
        }
    }

    std::string folder_;
    std::size_t count_;
    ListChoice list_;
    NamingRule rule_;
    NameList names_; // one for every pass, as the window keeps one
    std::vector<std::string> original_;
    std::vector<std::string> renamedListing_;
    std::vector<Step> steps_;
    std::size_t renames_ = 0;
};

// The name list the runs read, in the working folder.
std::size_t writeNameList(std::size_t count, const ListChoice& list) {
    if (!list.file.empty()) {
        std::filesystem::copy_file(list.file, "roms.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        const std::string text = kit::readWholeFile("roms.ini");
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    writeSettledNameList("roms.ini", count, list.minimumRecords);
    return syntheticRecordCount(count, list.minimumRecords);
}

struct Row {
    std::size_t count = 0;
    std::size_t records = 0;
    std::size_t renames = 0;
    double runMicros = 0;
    double floorMicros = 0;
    double listingMicros = 0;
    double maxRss = 0;
    double processMicros = 0; // a whole quillmark-probe batch process; 0: not asked for
};

Row measure(const std::string& root, std::size_t count, int runs, const ListChoice& list,
            const std::string& probe) {
    const std::size_t records = writeNameList(count, list);
    Workbench bench(root + "/roms-" + std::to_string(count), count, list);
    std::vector<double> run, floor, listing, process;
    for (int i = 0; i < runs; ++i) {
        // Alternate the order, so that drift on a busy machine hits both alike.
        double listingSeconds = 0;
        if (i % 2 == 0) {
            run.push_back(bench.timeRun(listingSeconds));
            floor.push_back(bench.timeFloor());
        } else {
            floor.push_back(bench.timeFloor());
            run.push_back(bench.timeRun(listingSeconds));
        }
        listing.push_back(listingSeconds);
        if (!probe.empty()) {
            process.push_back(bench.timeProcess({probe, "batch", bench.folder()}, true));
        }
    }
    const double perFile = 1e6 / static_cast<double>(count);
    return {count,
            records,
            bench.renames(),
            median(run) * perFile,
            median(floor) * perFile,
            median(listing) * perFile,
            maxRssMegabytes(),
            process.empty() ? 0 : median(process) * perFile};
}

// Empties the page cache and the inode and directory caches, so that the next
// run meets its folder as a collection nobody has read since it was copied.
// False where that is not allowed (it needs root).
bool dropCaches() {
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    drop.close();
    return static_cast<bool>(drop);
}

struct ColdRow {
    std::size_t count = 0;
    double coldMicros = 0; // 0: the cache could not be dropped
    double warmMicros = 0;
    double floorMicros = 0; // the floor of the warm run
};

ColdRow measureCold(const std::string& root, std::size_t count, int runs, bool drop,
                    const ListChoice& list) {
    writeNameList(count, list);
    Workbench cold(root + "/cold-" + std::to_string(count), count, list);
    Workbench warm(root + "/warm-" + std::to_string(count), count, list);
    std::vector<double> coldRuns, warmRuns, floor;
    double listingSeconds = 0;
    for (int i = 0; i < runs; ++i) {
        if (drop) {
            if (!dropCaches()) {
                throw std::runtime_error("the page cache could not be dropped");
            }
            coldRuns.push_back(cold.timeRun(listingSeconds));
        }
        warm.timeFloor(); // untimed: brings the warm folder back into the cache
        warmRuns.push_back(warm.timeRun(listingSeconds));
        floor.push_back(warm.timeFloor());
    }
    const double perFile = 1e6 / static_cast<double>(count);
    return {count, drop ? median(coldRuns) * perFile : 0.0, median(warmRuns) * perFile,
            median(floor) * perFile};
}

int coldTable(const std::string& root, const std::vector<std::size_t>& counts, int runs,
              const ListChoice& list) {
    const bool drop = dropCaches();
    if (!drop) {
        std::cout << "dropping the page cache needs root: the cold half is skipped\n";
    }
    std::printf("| files | cold run µs/file | warm run µs/file | cold/warm | warm floor µs/file | "
                "warm/floor |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|\n");
    for (const std::size_t count : counts) {
        const ColdRow row = measureCold(root, count, runs, drop, list);
        if (drop) {
            std::printf("| %zu | %.2f | %.2f | %.2f | %.2f | %.2f |\n", row.count, row.coldMicros,
                        row.warmMicros, row.coldMicros / row.warmMicros, row.floorMicros,
                        row.warmMicros / row.floorMicros);
        } else {
            std::printf("| %zu | - | %.2f | - | %.2f | %.2f |\n", row.count, row.warmMicros,
                        row.floorMicros, row.warmMicros / row.floorMicros);
        }
    }
    std::printf("medians of %d runs each; run = runBatch alone (listing apart)\n", runs);
    return 0;
}

// Lists a folder and reads every file's header as a run reads them, and no
// more: what a plan cannot do without.
int readHeaders(const std::string& folder) {
    const std::vector<std::string> names = listFolderFiles(folder);
    HeaderReadAhead headers(folder + "/", names);
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        bytes += headers.takeNext().header.length;
    }
    std::printf("%zu header bytes\n", bytes);
    return 0;
}

struct CliRow {
    std::size_t count = 0;
    std::size_t renames = 0;
    double floor = 0, run = 0, rename = 0, headers = 0, plan = 0; // µs per file
};

CliRow measureCli(const std::string& root, std::size_t count, int runs, const std::string& cli) {
    const ListChoice list;
    writeNameList(count, list);
    // The names the single-file view proposes, which quillmark-cli gives.
    Workbench bench(root + "/cli-" + std::to_string(count), count, list,
                    NamingRule{NamingStyle::Normal, countrySuffix});
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<double> floor, run, rename, headers, plan;
    for (int i = 0; i < runs; ++i) {
        double listing = 0;
        const bool floorFirst = i % 2 == 1; // drift on a busy machine hits both alike
        if (floorFirst) {
            floor.push_back(bench.timeFloor());
        }
        rename.push_back(
            bench.timeProcess({cli, "rename", "--list", "roms.ini", bench.folder()}, true));
        if (!floorFirst) {
            floor.push_back(bench.timeFloor());
        }
        run.push_back(bench.timeRun(listing));
        headers.push_back(bench.timeProcess({self, "--read-headers", bench.folder()}, false));
        plan.push_back(
            bench.timeProcess({cli, "plan", "--list", "roms.ini", bench.folder()}, false));
    }
    const double perFile = 1e6 / static_cast<double>(count);
    return {count,
            bench.renames(),
            median(floor) * perFile,
            median(run) * perFile,
            median(rename) * perFile,
            median(headers) * perFile,
            median(plan) * perFile};
}

int cliTable(const std::string& root, const std::vector<std::size_t>& counts, int runs,
             const std::string& cli) {
    std::printf("| files | renamed | floor µs/file | batch run µs/file | cli rename µs/file | "
                "rename/floor | headers only µs/file | cli plan µs/file | plan/headers |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const std::size_t count : counts) {
        const CliRow r = measureCli(root, count, runs, cli);
        std::printf("| %zu | %zu | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", r.count,
                    r.renames, r.floor, r.run, r.rename, r.rename / r.floor, r.headers, r.plan,
                    r.plan / r.headers);
    }
    std::printf("medians of %d runs each; cli and headers-only: whole processes, output to "
                "/dev/null\n",
                runs);
    return 0;
}

// The run and quillmark-cli rename with their journals against the same
// without, in turn, in one process.
int journalTable(const std::string& root, const std::vector<std::size_t>& counts, int runs,
                 const std::string& cli) {
    const std::string journals = root + "/state/quillmark/journal";
    // A file where the folder would be made: the cli runs without a journal.
    const std::string noState = root + "/no-state";
    kit::writeWholeFile(noState, "");
    std::printf("| files | renamed | run µs/file | run + journal µs/file | journal/run | cli "
                "rename µs/file | + journal µs/file | journal/rename |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const std::size_t count : counts) {
        writeNameList(count, ListChoice{});
        Workbench bench(root + "/journal-" + std::to_string(count), count, ListChoice{},
                        NamingRule{NamingStyle::Normal, countrySuffix});
        std::vector<double> plain, journaled, cliPlain, cliJournaled;
        for (int i = 0; i < runs; ++i) {
            double listing = 0;
            const bool journalFirst = i % 2 == 1; // drift on a busy machine hits both alike
            for (int k = 0; k < 2; ++k) {
                if ((k == 0) == journalFirst) {
                    journaled.push_back(bench.timeRun(listing, &journals));
                } else {
                    plain.push_back(bench.timeRun(listing));
                }
            }
            for (int k = 0; !cli.empty() && k < 2; ++k) {
                const bool withJournal = (k == 0) == journalFirst;
                (withJournal ? cliJournaled : cliPlain)
                    .push_back(
                        bench.timeProcess({cli, "rename", "--list", "roms.ini", bench.folder()},
                                          true, withJournal ? root + "/state" : noState));
            }
        }
        const double perFile = 1e6 / static_cast<double>(count);
        const double run = median(plain) * perFile;
        const double withJournal = median(journaled) * perFile;
        if (cli.empty()) {
            std::printf("| %zu | %zu | %.2f | %.2f | %.3f | - | - | - |\n", count, bench.renames(),
                        run, withJournal, withJournal / run);
            continue;
        }
        const double rename = median(cliPlain) * perFile;
        const double renameJournal = median(cliJournaled) * perFile;
        std::printf("| %zu | %zu | %.2f | %.2f | %.3f | %.2f | %.2f | %.3f |\n", count,
                    bench.renames(), run, withJournal, withJournal / run, rename, renameJournal,
                    renameJournal / rename);
    }
    std::printf("medians of %d runs each, warm; run = runBatch alone; cli: whole processes\n",
                runs);
    return 0;
}

// The run over zipped files against the run over the same files loose, both
// warm: each workbench's untimed first run brought its folder into the cache.
int zippedTable(const std::string& root, const std::vector<std::size_t>& counts, int runs,
                const ListChoice& list) {
    std::printf("| files | loose run µs/file | zipped run µs/file | zipped/loose | peak RSS so far "
                "(MB) |\n|---:|---:|---:|---:|---:|\n");
    for (const std::size_t count : counts) {
        writeNameList(count, list);
        Workbench loose(root + "/loose-" + std::to_string(count), count, list);
        Workbench zipped(root + "/zipped-" + std::to_string(count), count, list,
                         NamingRule{NamingStyle::Normal, batchCountrySuffix}, true);
        std::vector<double> looseRuns, zippedRuns;
        double listingSeconds = 0;
        for (int i = 0; i < runs; ++i) {
            // Alternate the order, so that drift on a busy machine hits both alike.
            if (i % 2 == 0) {
                looseRuns.push_back(loose.timeRun(listingSeconds));
                zippedRuns.push_back(zipped.timeRun(listingSeconds));
            } else {
                zippedRuns.push_back(zipped.timeRun(listingSeconds));
                looseRuns.push_back(loose.timeRun(listingSeconds));
            }
        }
        const double perFile = 1e6 / static_cast<double>(count);
        const double looseMicros = median(looseRuns) * perFile;
        const double zippedMicros = median(zippedRuns) * perFile;
        std::printf("| %zu | %.2f | %.2f | %.2f | %.1f |\n", count, looseMicros, zippedMicros,
                    zippedMicros / looseMicros, maxRssMegabytes());
    }
    std::printf("medians of %d runs each; run = runBatch alone (listing apart)\n", runs);
    return 0;
}

// The zipped run on a folder just out of the page cache against the same run
// on an identical cached one.
int zippedColdTable(const std::string& root, const std::vector<std::size_t>& counts, int runs,
                    const ListChoice& list) {
    if (!dropCaches()) {
        std::cout << "dropping the page cache needs root\n";
        return 77;
    }
    std::printf("| files | cold zipped run µs/file | warm zipped run µs/file | cold/warm |\n"
                "|---:|---:|---:|---:|\n");
    for (const std::size_t count : counts) {
        writeNameList(count, list);
        Workbench cold(root + "/cold-" + std::to_string(count), count, list,
                       NamingRule{NamingStyle::Normal, batchCountrySuffix}, true);
        Workbench warm(root + "/warm-" + std::to_string(count), count, list,
                       NamingRule{NamingStyle::Normal, batchCountrySuffix}, true);
        std::vector<double> coldRuns, warmRuns;
        double listingSeconds = 0;
        for (int i = 0; i < runs; ++i) {
            if (!dropCaches()) {
                throw std::runtime_error("the page cache could not be dropped");
            }
            coldRuns.push_back(cold.timeRun(listingSeconds));
            warm.timeRun(listingSeconds); // untimed: brings the warm folder back into the cache
            warmRuns.push_back(warm.timeRun(listingSeconds));
        }
        const double perFile = 1e6 / static_cast<double>(count);
        const double coldMicros = median(coldRuns) * perFile;
        const double warmMicros = median(warmRuns) * perFile;
        std::printf("| %zu | %.2f | %.2f | %.2f |\n", count, coldMicros, warmMicros,
                    coldMicros / warmMicros);
    }
    std::printf("medians of %d runs each; run = runBatch alone (listing apart)\n", runs);
    return 0;
}

int usage() {
    std::cerr << "usage: batch_bench [--cold] [--runs R] [--dir DIR] [--records R] [--fresh-list]\n"
                 "                   [--list FILE] [--probe PROGRAM] [N ...]\n"
                 "       batch_bench --cli PROGRAM [--runs R] [--dir DIR] [N ...]\n"
                 "       batch_bench --zipped [--cold] [--runs R] [--dir DIR] [N ...]\n"
                 "       batch_bench --journal [--cli PROGRAM] [--runs R] [--dir DIR] [N ...]\n"
                 "       batch_bench --make N DIR [--zipped]\n";
    return 2;
}

int makeFolder(std::size_t count, const std::string& dir, bool zipped) {
    std::filesystem::create_directories(dir);
    writeSettledNameList(dir + "/roms.ini", count, kMinimumRecords);
    if (zipped) {
        createZippedFolder(dir + "/roms", count);
    } else {
        createSyntheticFolder(dir + "/roms", count);
    }
    std::cout << "made " << dir << "/roms (" << count << " files) and " << dir << "/roms.ini ("
              << syntheticRecordCount(count, kMinimumRecords) << " records)\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::size_t> counts;
        int runs = 0; // by mode
        bool coldMode = false;
        bool zippedMode = false;
        bool journalMode = false;
        ListChoice list;
        std::string cli;
        std::string probe;
        std::string dir = std::filesystem::temp_directory_path().string();
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--make") {
                const bool zipped = argc == 5 && std::string_view(argv[4]) == "--zipped";
                return (argc == 4 || zipped) && i == 1
                           ? makeFolder(parseCount(argv[2]), argv[3], zipped)
                           : usage();
            } else if (arg == "--read-headers") {
                return argc == 3 && i == 1 ? readHeaders(argv[2]) : usage();
            } else if (arg == "--probe" && i + 1 < argc) {
                probe = std::filesystem::absolute(argv[++i]).string();
            } else if (arg == "--cli" && i + 1 < argc) {
                cli = std::filesystem::absolute(argv[++i]).string();
            } else if (arg == "--cold") {
                coldMode = true;
            } else if (arg == "--zipped") {
                zippedMode = true;
            } else if (arg == "--journal") {
                journalMode = true;
            } else if (arg == "--runs" && i + 1 < argc) {
                runs = static_cast<int>(parseCount(argv[++i]));
            } else if (arg == "--dir" && i + 1 < argc) {
                dir = argv[++i];
            } else if (arg == "--records" && i + 1 < argc) {
                list.minimumRecords = parseCount(argv[++i]);
            } else if (arg == "--fresh-list") {
                list.fresh = true;
            } else if (arg == "--list" && i + 1 < argc) {
                list.file = std::filesystem::absolute(argv[++i]).string();
            } else if (!arg.empty() && arg[0] != '-') {
                counts.push_back(parseCount(arg.c_str()));
            } else {
                return usage();
            }
        }
        if (counts.empty()) {
            counts = zippedMode || journalMode
                         ? std::vector<std::size_t>{journalMode ? 100000u : 10000u}
                     : coldMode     ? std::vector<std::size_t>{20000}
                     : !cli.empty() ? std::vector<std::size_t>{100000}
                                    : std::vector<std::size_t>{1000, 10000, 100000};
        }
        if (runs == 0) {
            runs = zippedMode || journalMode ? 3 : 5;
        }
        const ScratchFolder scratch(dir, "quillmark-bench");
        const std::string& root = scratch.path();
        std::filesystem::current_path(root); // the name list is read from the working folder
        if (zippedMode) {
            return coldMode ? zippedColdTable(root, counts, runs, list)
                            : zippedTable(root, counts, runs, list);
        }
        if (coldMode) {
            return coldTable(root, counts, runs, list);
        }
        if (journalMode) {
            return journalTable(root, counts, runs, cli);
        }
        if (!cli.empty()) {
            return cliTable(root, counts, runs, cli);
        }

        std::vector<Row> rows;
        rows.reserve(counts.size());
        for (const std::size_t count : counts) {
            rows.push_back(measure(root, count, runs, list, probe));
        }

        const bool processes = !probe.empty();
        std::printf("| files | name-list records | renamed | run µs/file | floor µs/file | "
                    "run/floor | listing µs/file | peak RSS so far (MB) |%s\n",
                    processes ? " probe batch µs/file | probe/floor |" : "");
        std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|%s\n", processes ? "---:|---:|" : "");
        for (const Row& row : rows) {
            std::printf("| %zu | %zu | %zu | %.2f | %.2f | %.2f | %.2f | %.1f |", row.count,
                        row.records, row.renames, row.runMicros, row.floorMicros,
                        row.runMicros / row.floorMicros, row.listingMicros, row.maxRss);
            if (processes) {
                std::printf(" %.2f | %.2f |", row.processMicros,
                            row.processMicros / row.floorMicros);
            }
            std::printf("\n");
        }
        if (rows.size() > 1) {
            const Row& smallest =
                *std::min_element(rows.begin(), rows.end(),
                                  [](const Row& a, const Row& b) { return a.count < b.count; });
            const Row& largest =
                *std::max_element(rows.begin(), rows.end(),
                                  [](const Row& a, const Row& b) { return a.count < b.count; });
            std::printf("\nrun µs/file at %zu files / at %zu files: %.2f\n", largest.count,
                        smallest.count, largest.runMicros / smallest.runMicros);
        }
        std::printf("medians of %d runs each; run = runBatch alone (listing apart)\n", runs);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "batch_bench: " << e.what() << "\n";
        return 1;
    }
}
