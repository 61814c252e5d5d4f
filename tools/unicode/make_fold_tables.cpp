// Writes the tables of src/fsys/unicode_fold_tables.h from the Unicode
// Character Database (Debian: package unicode-data, /usr/share/unicode):
//   make-fold-tables UnicodeData.txt CaseFolding.txt OUT.cpp
//
// Names are folded as canonical caseless matching folds them (decompose, full
// case folding, decompose again), widened so that two code points with the
// same simple uppercase mapping always fold alike: NTFS, FAT and exFAT compare
// names by an uppercase table, which equates for example dotless i with I.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Character {
    int combiningClass = 0;
    std::u32string decomposition; // canonical only, as listed (one or two)
    char32_t upper = 0;           // simple uppercase mapping, 0 for none
};

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, separator)) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == separator) {
        fields.emplace_back();
    }
    return fields;
}

char32_t codePoint(const std::string& hex) {
    std::size_t used = 0;
    const unsigned long value = std::stoul(hex, &used, 16);
    if (used == 0 || value > 0x10FFFF) {
        throw std::runtime_error("not a code point: " + hex);
    }
    return static_cast<char32_t>(value);
}

std::u32string codePoints(const std::string& list) {
    std::u32string out;
    std::stringstream stream(list);
    std::string hex;
    while (stream >> hex) {
        out += codePoint(hex);
    }
    return out;
}

std::ifstream openData(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return in;
}

class Database {
public:
    Database(const std::string& unicodeData, const std::string& caseFolding) {
        std::ifstream data = openData(unicodeData);
        for (std::string line; std::getline(data, line);) {
            const std::vector<std::string> fields = split(line, ';');
            if (fields.size() < 15) {
                throw std::runtime_error(unicodeData + ": short line: " + line);
            }
            Character& c = characters_[codePoint(fields[0])];
            c.combiningClass = std::stoi(fields[3]);
            if (!fields[5].empty() && fields[5][0] != '<') {
                c.decomposition = codePoints(fields[5]);
            }
            if (!fields[12].empty()) {
                c.upper = codePoint(fields[12]);
            }
        }
        std::ifstream folding = openData(caseFolding);
        for (std::string line; std::getline(folding, line);) {
            if (version_.empty() && line.rfind("# CaseFolding-", 0) == 0) {
                version_ = line.substr(14, line.find(".txt") - 14);
            }
            const std::vector<std::string> fields = split(line.substr(0, line.find('#')), ';');
            if (fields.size() >= 3 && (fields[1] == " C" || fields[1] == " F")) {
                folds_[codePoint(fields[0])] = codePoints(fields[2]);
            }
        }
        if (version_.empty() || characters_.empty() || folds_.empty()) {
            throw std::runtime_error("no Unicode data found in the files given");
        }
        widenToUppercase();
    }

    const std::string& version() const { return version_; }
    const std::map<char32_t, Character>& characters() const { return characters_; }
    const std::map<char32_t, std::u32string>& widened() const { return widened_; }

    bool decomposes(char32_t c) const {
        const auto found = characters_.find(c);
        return found != characters_.end() && !found->second.decomposition.empty();
    }

    int combiningClass(char32_t c) const {
        const auto found = characters_.find(c);
        return found == characters_.end() ? 0 : found->second.combiningClass;
    }

    std::u32string decomposed(char32_t c) const {
        const auto found = characters_.find(c);
        if (found == characters_.end() || found->second.decomposition.empty()) {
            return std::u32string(1, c);
        }
        std::u32string out;
        for (const char32_t part : found->second.decomposition) {
            out += decomposed(part);
        }
        return out;
    }

    // What a code point that does not decompose folds to, decomposed.
    std::u32string folded(char32_t c) const {
        const auto wide = widened_.find(c);
        if (wide != widened_.end()) {
            return wide->second;
        }
        const auto fold = folds_.find(c);
        if (fold == folds_.end()) {
            return std::u32string(1, c);
        }
        std::u32string out;
        for (const char32_t part : fold->second) {
            out += decomposed(part);
        }
        return out;
    }

    // The folded key of a text, as the run-time code computes it.
    std::u32string key(const std::u32string& text) const {
        std::u32string decomposedText;
        for (const char32_t c : text) {
            decomposedText += decomposed(c);
        }
        order(decomposedText);
        std::u32string out;
        for (const char32_t c : decomposedText) {
            out += folded(c);
        }
        order(out);
        return out;
    }

private:
    void order(std::u32string& text) const {
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = start;
            while (end < text.size() && combiningClass(text[end]) != 0) {
                ++end;
            }
            std::stable_sort(text.begin() + static_cast<std::ptrdiff_t>(start),
                             text.begin() + static_cast<std::ptrdiff_t>(end),
                             [this](char32_t left, char32_t right) {
                                 return combiningClass(left) < combiningClass(right);
                             });
            start = end == start ? start + 1 : end;
        }
    }

    // Folds each code point that does not yet fold like its uppercase mapping
    // to what that mapping folds to, until nothing changes.
    void widenToUppercase() {
        for (int round = 0; round < 8; ++round) {
            bool changed = false;
            for (const auto& [code, c] : characters_) {
                if (c.upper == 0) {
                    continue;
                }
                const std::u32string target = key(std::u32string(1, c.upper));
                if (key(std::u32string(1, code)) == target) {
                    continue;
                }
                if (decomposes(code)) {
                    throw std::runtime_error("cannot widen a code point that decomposes");
                }
                widened_[code] = target;
                changed = true;
            }
            if (!changed) {
                return;
            }
        }
        throw std::runtime_error("widening to the uppercase mappings does not settle");
    }

    std::map<char32_t, Character> characters_;
    std::map<char32_t, std::u32string> folds_;
    std::map<char32_t, std::u32string> widened_;
    std::string version_;
};

std::string hex(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(c));
    return text;
}

// "{a, b, c}"
std::string braced(std::initializer_list<std::string> fields) {
    std::string out(1, '{');
    for (const std::string& field : fields) {
        out += out.size() > 1 ? ", " : "";
        out += field;
    }
    return out += '}';
}

struct Tables {
    std::vector<std::string> pairs, combining, runs, expansions;
};

Tables buildTables(const Database& db) {
    Tables t;
    struct Run {
        char32_t first, last;
        unsigned stride;
        long delta;
    };
    std::vector<Run> runs;
    bool runOpen = false; // no code point since the last run's end folds otherwise
    std::vector<std::pair<char32_t, int>> classes;
    for (const auto& [code, c] : db.characters()) {
        if (!c.decomposition.empty()) {
            if (c.decomposition.size() > 2 ||
                (c.decomposition.size() == 2 && db.decomposes(c.decomposition[1]))) {
                throw std::runtime_error("unexpected decomposition of " + hex(code));
            }
            t.pairs.push_back(
                braced({hex(code), hex(c.decomposition[0]),
                        c.decomposition.size() == 2 ? hex(c.decomposition[1]) : "0"}));
            continue; // never folded: its parts are
        }
        if (c.combiningClass != 0) {
            classes.emplace_back(code, c.combiningClass);
        }
        const std::u32string to = db.folded(code);
        for (const char32_t part : to) {
            if (db.decomposes(part) || db.folded(part) != std::u32string(1, part)) {
                throw std::runtime_error("folding " + hex(code) + " does not settle in one step");
            }
        }
        if (to.size() > 3) {
            throw std::runtime_error(hex(code) + " folds to more than three code points");
        }
        if (to.size() > 1) {
            const auto part = [&](std::size_t i) { return i < to.size() ? hex(to[i]) : "0"; };
            t.expansions.push_back(braced({hex(code), braced({part(0), part(1), part(2)})}));
            runOpen = false;
        } else if (to[0] != code) {
            const long delta = static_cast<long>(to[0]) - static_cast<long>(code);
            Run* last = runOpen ? &runs.back() : nullptr;
            const char32_t step = last ? code - last->last : 0;
            if (last && last->delta == delta && step <= 2 &&
                (last->first == last->last || step == last->stride)) {
                last->stride = step;
                last->last = code;
            } else {
                runs.push_back({code, code, 1, delta});
                runOpen = true;
            }
        }
    }
    for (const Run& run : runs) {
        t.runs.push_back(braced({hex(run.first), hex(run.last), std::to_string(run.stride),
                                 std::to_string(run.delta)}));
    }
    for (std::size_t i = 0; i < classes.size();) {
        std::size_t j = i;
        while (j + 1 < classes.size() && classes[j + 1].first == classes[j].first + 1 &&
               classes[j + 1].second == classes[i].second) {
            ++j;
        }
        t.combining.push_back(braced(
            {hex(classes[i].first), hex(classes[j].first), std::to_string(classes[i].second)}));
        i = j + 1;
    }
    return t;
}

void writeTable(std::ostream& out, const char* type, const char* name,
                const std::vector<std::string>& entries, std::size_t perLine) {
    out << "\nconst " << type << " k" << name << "[] = {";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out << (i % perLine == 0 ? "\n    " : " ") << entries[i] << ",";
    }
    out << "\n};\nconst std::span<const " << type << "> " << char(name[0] - 'A' + 'a') << (name + 1)
        << "{k" << name << "};\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make-fold-tables UnicodeData.txt CaseFolding.txt OUT.cpp\n";
        return 2;
    }
    try {
        const Database db(argv[1], argv[2]);
        const Tables t = buildTables(db);
        std::ostringstream out;
        out << "// Unicode " << db.version()
            << " tables for name folding, written by tools/unicode/make_fold_tables.cpp\n"
               "// from UnicodeData.txt and CaseFolding.txt. Do not edit; regenerate with\n"
               "// cmake --build --preset release --target unicode-fold-tables\n"
               "// clang-format off\n"
               "#include \"fsys/unicode_fold_tables.h\"\n\n"
               "namespace quillmark::fold_tables {\n";
        writeTable(out, "CanonicalPair", "CanonicalPairs", t.pairs, 4);
        writeTable(out, "CombiningRange", "CombiningRanges", t.combining, 4);
        writeTable(out, "FoldRun", "FoldRuns", t.runs, 3);
        writeTable(out, "FoldExpansion", "FoldExpansions", t.expansions, 3);
        out << "\n} // namespace quillmark::fold_tables\n";
        std::ofstream file(argv[3], std::ios::binary);
        file << out.str();
        if (!file.flush()) {
            throw std::runtime_error(std::string("cannot write ") + argv[3]);
        }
        std::cout << "Unicode " << db.version() << ": " << t.pairs.size() << " decompositions, "
                  << t.combining.size() << " combining ranges, " << t.runs.size() << " fold runs, "
                  << t.expansions.size() << " expansions, " << db.widened().size()
                  << " code points widened to their uppercase:";
        for (const auto& [code, to] : db.widened()) {
            std::cout << " " << hex(code);
        }
        std::cout << "\n";
    } catch (const std::exception& error) {
        std::cerr << "make-fold-tables: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
