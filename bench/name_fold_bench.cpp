// Times folding a folder's worth of file names into keys against a floor
// measured in the same run: copying each name and lower-casing its ASCII
// letters, the least any case-insensitive key costs. Three sets of names:
// ASCII only, a collection's mix (one name in ten with letters beyond ASCII,
// some decomposed as macOS writes them), and every name beyond ASCII.
//
//   name_fold_bench [--runs R] [N]    default: 5 runs of 100000 names

#include "bench_support.h"
#include "fsys/name_fold.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace quillmark;
using namespace quillmark::bench;

const char* const kAsciiTitles[] = {"Super Mario 64",       "The Legend of Zelda - Ocarina of Time",
                                    "Mario Kart 64",        "GoldenEye 007",
                                    "Banjo-Kazooie",        "Star Fox 64",
                                    "Paper Mario",          "F-Zero X",
                                    "Wave Race 64",         "Diddy Kong Racing",
                                    "Perfect Dark",         "1080 Snowboarding",
                                    "Pokemon Puzzle League"};

const char* const kOtherTitles[] = {
    "Pok\u00E9mon Stadium 2",                                             // precomposed
    "Poke\u0301mon Snap",                                                 // decomposed
    "\u30DD\u30B1\u30E2\u30F3\u30B9\u30BF\u30B8\u30A2\u30E0\u91D1\u9280", // kana with marks
    "\u30BC\u30EB\u30C0\u306E\u4F1D\u8AAC \u6642\u306E\u30AA\u30AB\u30EA\u30CA",
    "Stra\u00DFe Racer",
    "\u00C5lpha \u00DCrban \u03A9mega",
    "\uB9C8\uB9AC\uC624 \uCE74\uD2B8 64", // Hangul syllables
    "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03CC \u03A3\u03BA\u03AC\u03BA\u03B9",
    "\u041C\u0438\u0440 \u041C\u0430\u0440\u0438\u043E"};

const char* const kRegions[] = {"USA", "Europe", "Japan", "Germany", "France"};

// `otherEvery`: every how many names has letters beyond ASCII (0: none).
std::vector<std::string> names(std::size_t count, std::size_t otherEvery) {
    std::vector<std::string> out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const bool other = otherEvery != 0 && i % otherEvery == 0;
        const char* title = other ? kOtherTitles[i / otherEvery % std::size(kOtherTitles)]
                                  : kAsciiTitles[i % std::size(kAsciiTitles)];
        out.push_back(std::string(title) + " " + std::to_string(i) + " (" +
                      kRegions[i % std::size(kRegions)] + ").v64");
    }
    return out;
}

std::size_t floorKeys(const std::vector<std::string>& names) {
    std::size_t bytes = 0;
    for (const std::string& name : names) {
        std::string key(name);
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + ('a' - 'A'));
            }
        }
        bytes += key.size();
    }
    return bytes;
}

std::size_t foldedKeys(const std::vector<std::string>& names) {
    std::size_t bytes = 0;
    for (const std::string& name : names) {
        bytes += foldedName(name).size();
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t runs = 5;
    std::size_t count = 100000;
    try {
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
                runs = parseCount(argv[++i]);
            } else {
                count = parseCount(argv[i]);
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "usage: name_fold_bench [--runs R] [N]: " << error.what() << "\n";
        return 2;
    }
    struct Set {
        const char* label;
        std::size_t otherEvery;
    };
    std::printf("%-12s %8s %10s %10s %7s\n", "names", "count", "floor ms", "fold ms", "ratio");
    std::size_t sink = 0;
    for (const Set set : {Set{"ascii", 0}, Set{"mix 1 in 10", 10}, Set{"all other", 1}}) {
        const std::vector<std::string> list = names(count, set.otherEvery);
        std::vector<double> floors, folds;
        for (std::size_t run = 0; run < runs; ++run) {
            Clock::time_point start = Clock::now();
            sink += floorKeys(list);
            floors.push_back(seconds(start, Clock::now()));
            start = Clock::now();
            sink += foldedKeys(list);
            folds.push_back(seconds(start, Clock::now()));
        }
        const double floorMedian = median(floors);
        const double foldMedian = median(folds);
        std::printf("%-12s %8zu %10.2f %10.2f %7.2f\n", set.label, count, floorMedian * 1000,
                    foldMedian * 1000, foldMedian / floorMedian);
    }
    return sink == 0 ? 1 : 0;
}
