// Measures how well the name list covers the cartridge facts, through the
// probe, as a user's file would be identified:
//   measure-name-coverage FACTS.tsv ROMS.ini QUILLMARK-PROBE WORK-FOLDER [--check PERCENT]
//
// For every reliable facts row whose internal name the built-in demo table
// does not cover, it writes a 64-byte header (Z64 and V64 order in turn) with
// the row's CRC1, CRC2, name and country byte into WORK-FOLDER/images, runs
// "quillmark-probe identify" in WORK-FOLDER (which holds a copy of ROMS.ini),
// and counts the rows given any title and those given their own: the row's
// facts title after the list's title rule. With --check it fails (exit 1)
// when a row whose key the list can write gets no title, or when fewer than
// PERCENT of the rows get their own title.

#include "cartridge_header.h"
#include "facts_table.h"
#include "fsys/name_list_records.h"
#include "name_list_build.h"
#include "romid/demo_table.h"
#include "romid/header_text.h"
#include "title_rule.h"

#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace quillmark;
namespace fs = std::filesystem;

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// The probe's value text back to bytes: it writes \xHH for bytes outside
// 0x20–0x7E and for the backslash.
std::string unescaped(std::string_view value) {
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(std::string(value.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            bytes += value[i];
        }
    }
    return bytes;
}

// Runs the probe on one file in the current folder; its fields by name.
std::map<std::string, std::string> identify(const std::string& probe, const std::string& file) {
    const std::string command = shellQuoted(probe) + " identify images " + shellQuoted(file);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        throw std::runtime_error("cannot run " + probe);
    }
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    if (::pclose(pipe) != 0) {
        throw std::runtime_error("the probe failed on " + file);
    }
    std::map<std::string, std::string> fields;
    for (const std::string_view line : splitLines(output)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            fields[std::string(line.substr(0, equals))] = unescaped(line.substr(equals + 1));
        }
    }
    return fields;
}

std::string share(std::size_t part, std::size_t whole) {
    std::ostringstream text;
    text << part << " (" << std::fixed << std::setprecision(1)
         << (whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole))
         << " %)";
    return text.str();
}

struct Tally {
    std::size_t rows = 0;
    std::size_t writable = 0;
    std::size_t anyTitle = 0;
    std::size_t writableWithTitle = 0;
    std::size_t ownTitle = 0;
    std::size_t ownTitleAsInFacts = 0;
    std::size_t ceiling = 0;
    std::vector<std::string> misses;
};

// The most rows any one list title has per writable name: no list keyed by
// the internal name alone can give more rows their own title.
std::size_t ceilingOf(const std::vector<const FactsRow*>& rows) {
    std::map<std::string, std::map<std::string, std::size_t>> titlesByName;
    for (const FactsRow* row : rows) {
        if (listTakesName(row->internalName)) {
            ++titlesByName[row->internalName][makeListTitle(row->title).text];
        }
    }
    std::size_t best = 0;
    for (const auto& [name, titles] : titlesByName) {
        std::size_t most = 0;
        for (const auto& [title, count] : titles) {
            most = std::max(most, count);
        }
        best += most;
    }
    return best;
}

Tally measure(const std::vector<FactsRow>& facts, const std::string& probe, const fs::path& work) {
    std::vector<const FactsRow*> rows;
    for (const FactsRow& row : facts) {
        if (row.reliable && !isDemoTableName(row.internalName)) {
            rows.push_back(&row);
        }
    }
    Tally tally;
    tally.rows = rows.size();
    tally.ceiling = ceilingOf(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const FactsRow& row = *rows[i];
        const bool swapped = i % 2 == 1;
        const std::string file = "row-" + std::to_string(row.line) + (swapped ? ".v64" : ".z64");
        writeWholeFile((work / "images" / file).string(), cartridgeHeader(row, swapped));
        auto fields = identify(probe, file);

        const bool writable = listTakesName(row.internalName);
        const bool titled = fields["romUnknown"] == "false";
        const std::string own = windows1252ToUtf8(makeListTitle(row.title).text);
        tally.writable += writable ? 1 : 0;
        tally.anyTitle += titled ? 1 : 0;
        tally.writableWithTitle += (writable && titled) ? 1 : 0;
        if (titled && fields["fullTitle"] == own) {
            ++tally.ownTitle;
            tally.ownTitleAsInFacts += own == row.title ? 1 : 0;
        } else {
            tally.misses.push_back(
                "line " + std::to_string(row.line) + " " + displayText(row.internalName) + ": " +
                (titled ? "\"" + fields["fullTitle"] + "\"" : "no title") + ", own \"" + own +
                "\"" + (writable ? "" : " (key not in the list)"));
        }
    }
    return tally;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && !(argc == 7 && std::string_view(argv[5]) == "--check")) {
        std::cerr << "usage: measure-name-coverage FACTS.tsv ROMS.ini QUILLMARK-PROBE "
                     "WORK-FOLDER [--check PERCENT]\n";
        return 2;
    }
    try {
        const std::vector<FactsRow> facts = readFactsTable(argv[1]);
        const fs::path list = fs::absolute(argv[2]);
        const std::string probe = fs::absolute(argv[3]).string();
        const fs::path work = fs::absolute(argv[4]);
        fs::remove_all(work);
        fs::create_directories(work / "images");
        fs::copy_file(list, work / "roms.ini");
        fs::current_path(work); // the probe reads roms.ini from its working folder

        const Tally tally = measure(facts, probe, work);
        std::cout << "rows considered (reliable, name not in the demo table): " << tally.rows
                  << "\n"
                  << "  with a name the list can hold: " << tally.writable << "\n"
                  << "given a title: " << share(tally.anyTitle, tally.rows) << "\n"
                  << "  of the rows the list can hold: "
                  << share(tally.writableWithTitle, tally.writable) << "\n"
                  << "given their own title: " << share(tally.ownTitle, tally.rows) << "\n"
                  << "  of these, the facts title unchanged: " << tally.ownTitleAsInFacts << "\n"
                  << "ceiling for a list keyed by the internal name: "
                  << share(tally.ceiling, tally.rows) << "\n";
        for (const std::string& miss : tally.misses) {
            std::cout << "not own: " << miss << "\n";
        }
        if (argc == 7) {
            const double minimum = std::stod(argv[6]);
            bool ok = true;
            if (tally.writableWithTitle != tally.writable) {
                std::cerr << "FAIL: " << tally.writable - tally.writableWithTitle
                          << " rows the list can hold got no title\n";
                ok = false;
            }
            if (100.0 * static_cast<double>(tally.ownTitle) <
                minimum * static_cast<double>(tally.rows)) {
                std::cerr << "FAIL: fewer than " << argv[6]
                          << " % of the rows got their own title\n";
                ok = false;
            }
            return ok ? 0 : 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "measure-name-coverage: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
