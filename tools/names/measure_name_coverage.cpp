// Measures how well the name list covers the cartridge facts, through the
// probe, as a user's files would be identified:
//   measure-name-coverage FACTS.tsv ROMS.ini QUILLMARK-PROBE WORK-FOLDER [--check PERCENT]
//   measure-name-coverage FACTS.tsv ROMS.ini QUILLMARK-PROBE WORK-FOLDER --collection [--zipped]
//
// For every reliable facts row it writes a 64-byte header (Z64, V64 and N64
// order by turns) with the row's CRC1, CRC2, name and country byte into
// WORK-FOLDER, which holds a copy of ROMS.ini, and runs the probe there. A row's own title
// is the one the generator gives its dump: the row's title, with the variant
// tags that tell it from its namesakes, or the built-in demo table's title.
//
// By default each header is identified alone ("quillmark-probe identify") and
// the rows given their own title are counted; with --check the run fails
// (exit 1) when fewer than PERCENT of the rows get it. With --collection all
// headers go into one folder and one batch run ("quillmark-probe batch")
// renames them; it fails unless the run finishes, renames every image, and
// leaves each under its own name. With --zipped each header is a zip of its
// own, which is renamed as the archive it is.

#include "archive_writer.h"
#include "cartridge_header.h"
#include "facts_table.h"
#include "kit/whole_file.h"
#include "name_list_build.h"
#include "romid/file_name.h"
#include "romid/header_text.h"
#include "romid/name_list_records.h"

#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <set>
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

// Runs the probe with `arguments` in the current folder; its fields by name
// (the last value of a repeated field).
std::map<std::string, std::string> runProbe(const std::string& probe,
                                            const std::string& arguments) {
    const std::string command = shellQuoted(probe) + " " + arguments;
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
        throw std::runtime_error("the probe failed: " + arguments);
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
    text << part << " of " << whole << " (" << std::fixed << std::setprecision(1)
         << (whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole))
         << " %)";
    return text.str();
}

// A reliable row and the name its image should get.
struct Sample {
    const FactsRow* row;
    std::string title;  // UTF-8; empty when the generator names no dump for the row
    std::string suffix; // the batch run's
};

std::vector<Sample> samplesOf(const std::vector<FactsRow>& facts) {
    const NameListBuild build = buildNameList(facts);
    std::map<std::size_t, const DumpName*> byLine;
    for (const DumpName& dump : build.dumps) {
        byLine[dump.line] = &dump;
    }
    std::vector<Sample> samples;
    for (const FactsRow& row : facts) {
        if (row.reliable) {
            const auto dump = byLine.find(row.line);
            samples.push_back(
                dump == byLine.end()
                    ? Sample{&row, {}, {}}
                    : Sample{&row, windows1252ToUtf8(dump->second->title), dump->second->suffix});
        }
    }
    return samples;
}

// Writes each sample's header, in the three byte orders by turns, into
// `folder`; zipped, each in an archive of its own.
std::vector<std::string> writeImages(const std::vector<Sample>& samples, const fs::path& folder,
                                     bool zipped = false) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const ByteOrder order = kByteOrders[i % kByteOrders.size()];
        const std::string name = "row-" + std::to_string(samples[i].row->line) +
                                 std::string(extensionFor(order, ExtensionRule::ByteOrder));
        const std::string header = cartridgeHeader(*samples[i].row, order);
        files.push_back(zipped ? name + ".zip" : name);
        kit::writeWholeFile((folder / files.back()).string(),
                            zipped ? archives::writeArchive({{name, header}}, {}) : header);
    }
    return files;
}

std::string rowText(const Sample& sample) {
    return "line " + std::to_string(sample.row->line) + " " + displayText(sample.row->internalName);
}

// Each header alone; returns the rows given their own title.
std::size_t identifyEach(const std::vector<Sample>& samples, const std::string& probe) {
    const std::vector<std::string> files = writeImages(samples, "images");
    std::size_t own = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        auto fields = runProbe(probe, "identify images " + shellQuoted(files[i]));
        const bool titled = fields["romUnknown"] == "false";
        if (titled && !samples[i].title.empty() && fields["fullTitle"] == samples[i].title) {
            ++own;
        } else {
            std::cout << "not own: " << rowText(samples[i]) << ": "
                      << (titled ? "\"" + fields["fullTitle"] + "\"" : "no title") << ", own \""
                      << samples[i].title << "\"\n";
        }
    }
    std::cout << "rows (reliable): " << samples.size() << "\n"
              << "given their own title: " << share(own, samples.size()) << "\n";
    return own;
}

// All headers in one folder, one batch run; whether it left each under its own name.
bool renameCollection(const std::vector<Sample>& samples, const std::string& probe, bool zipped) {
    writeImages(samples, "collection", zipped);
    std::set<std::string> expected;
    for (const Sample& sample : samples) {
        expected.insert(
            composeFileName(sample.title, sample.suffix,
                            zipped ? archiveExtension(ArchiveKind::Zip) : kRomExtension));
    }
    auto fields = runProbe(probe, "batch collection");
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator("collection")) {
        found.insert(entry.path().filename().string());
    }
    std::size_t ownName = 0;
    for (const std::string& name : found) {
        ownName += expected.count(name);
    }
    std::cout << "images: " << samples.size() << ", distinct own names: " << expected.size()
              << "\noutcome: " << fields["outcome"] << ", renamed: " << fields["renamedCount"]
              << ", failure code: " << fields["failureCode"]
              << "\nfiles under their own name afterwards: " << share(ownName, samples.size())
              << "\n";
    for (const std::string& name : found) {
        if (expected.count(name) == 0) {
            std::cout << "not own: " << name << "\n";
        }
    }
    return expected.size() == samples.size() && fields["outcome"] == "Finished" &&
           fields["renamedCount"] == std::to_string(samples.size()) &&
           fields["failureCode"] == "0" && found == expected;
}

} // namespace

int main(int argc, char** argv) {
    const bool collection = argc >= 6 && std::string_view(argv[5]) == "--collection";
    const bool zipped = collection && argc == 7 && std::string_view(argv[6]) == "--zipped";
    const bool check = argc == 7 && std::string_view(argv[5]) == "--check";
    if (argc != 5 && !(collection && (argc == 6 || zipped)) && !check) {
        std::cerr << "usage: measure-name-coverage FACTS.tsv ROMS.ini QUILLMARK-PROBE "
                     "WORK-FOLDER [--check PERCENT | --collection [--zipped]]\n";
        return 2;
    }
    try {
        const std::vector<FactsRow> facts = readFactsTable(argv[1]);
        const fs::path list = fs::absolute(argv[2]);
        const std::string probe = fs::absolute(argv[3]).string();
        const fs::path work = fs::absolute(argv[4]);
        fs::remove_all(work);
        fs::create_directories(work / (collection ? "collection" : "images"));
        fs::copy_file(list, work / "roms.ini");
        fs::current_path(work); // the probe reads roms.ini from its working folder

        const std::vector<Sample> samples = samplesOf(facts);
        if (collection) {
            return renameCollection(samples, probe, zipped) ? 0 : 1;
        }
        const std::size_t own = identifyEach(samples, probe);
        if (check && 100.0 * static_cast<double>(own) <
                         std::stod(argv[6]) * static_cast<double>(samples.size())) {
            std::cerr << "FAIL: fewer than " << argv[6] << " % of the rows got their own title\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "measure-name-coverage: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
