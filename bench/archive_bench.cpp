// Times readArchiveHeader over a folder of single-member zip archives (1 MiB
// members) against readHeaderBytes over the same images as loose files, in
// the same process, both warm: an untimed pass brings each folder into the
// page cache first. Making the folders is not timed.
//
//   archive_bench [--runs R] [--dir DIR] [N ...]   default: 3 runs of 10000

#include "bench_support.h"
#include "fsys/archive_header.h"
#include "fsys/header_file.h"
#include "synthetic_folder.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace quillmark;
using namespace quillmark::bench;

double looseSeconds(const std::vector<std::string>& paths) {
    std::size_t bytes = 0;
    const Clock::time_point start = Clock::now();
    for (const std::string& path : paths) {
        bytes += readHeaderBytes(path).length;
    }
    const Clock::time_point end = Clock::now();
    if (bytes == 0) {
        throw std::runtime_error("the loose images read as empty");
    }
    return seconds(start, end);
}

// Also checks that every archive gives its member's first bytes.
double zippedSeconds(const std::vector<std::string>& paths) {
    std::size_t read = 0;
    const Clock::time_point start = Clock::now();
    for (const std::string& path : paths) {
        const ArchiveHeader header = readArchiveHeader(path);
        read += header.refusal == ArchiveRefusal::None && header.header.length == kHeaderSize;
    }
    const Clock::time_point end = Clock::now();
    if (read != paths.size()) {
        throw std::runtime_error("an archive was refused");
    }
    return seconds(start, end);
}

double maxRssMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::size_t> counts;
        int runs = 3;
        std::string dir = std::filesystem::temp_directory_path().string();
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            if (arg == "--runs" && i + 1 < argc) {
                runs = static_cast<int>(parseCount(argv[++i]));
            } else if (arg == "--dir" && i + 1 < argc) {
                dir = argv[++i];
            } else if (!arg.empty() && arg[0] != '-') {
                counts.push_back(parseCount(arg.c_str()));
            } else {
                std::cerr << "usage: archive_bench [--runs R] [--dir DIR] [N ...]\n";
                return 2;
            }
        }
        if (counts.empty()) {
            counts = {10000};
        }
        const ScratchFolder scratch(dir, "quillmark-archive-bench");
        std::printf(
            "| files | loose µs/file | zipped µs/file | zipped/loose | peak RSS so far (MB) "
            "|\n|---:|---:|---:|---:|---:|\n");
        for (const std::size_t count : counts) {
            const std::string loose = scratch.path() + "/loose-" + std::to_string(count);
            const std::string zipped = scratch.path() + "/zipped-" + std::to_string(count);
            createSyntheticFolder(loose, count);
            createZippedFolder(zipped, count);
            settle(loose);
            settle(zipped);
            std::vector<std::string> loosePaths, zippedPaths;
            for (std::size_t index = 0; index < count; ++index) {
                loosePaths.push_back(loose + "/" + syntheticFile(index).name);
                zippedPaths.push_back(zipped + "/" + zippedName(index));
            }
            looseSeconds(loosePaths); // untimed: warms the cache
            zippedSeconds(zippedPaths);
            std::vector<double> looseRuns, zippedRuns;
            for (int run = 0; run < runs; ++run) {
                // Alternate the order, so that drift on a busy machine hits both alike.
                if (run % 2 == 0) {
                    looseRuns.push_back(looseSeconds(loosePaths));
                    zippedRuns.push_back(zippedSeconds(zippedPaths));
                } else {
                    zippedRuns.push_back(zippedSeconds(zippedPaths));
                    looseRuns.push_back(looseSeconds(loosePaths));
                }
            }
            const double perFile = 1e6 / static_cast<double>(count);
            const double looseMicros = median(looseRuns) * perFile;
            const double zippedMicros = median(zippedRuns) * perFile;
            std::printf("| %zu | %.2f | %.2f | %.2f | %.1f |\n", count, looseMicros, zippedMicros,
                        zippedMicros / looseMicros, maxRssMegabytes());
            removeFolder(loose);
            removeFolder(zipped);
        }
        std::printf("medians of %d warm runs each\n", runs);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "archive_bench: " << e.what() << "\n";
        return 1;
    }
}
