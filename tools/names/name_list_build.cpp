#include "name_list_build.h"

#include "romid/demo_table.h"
#include "romid/header_text.h"
#include "title_rule.h"
#include "ui/presenter/header_texts.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace quillmark {

const std::string_view kDistinctTitleRuleText =
    "Every reliable row is a dump with a title of its own: for the built-in demo table's own "
    "rows (internal name and CRC1 in the table) the table's title, else the row's title after "
    "the title rule. Where two or more dumps would get the same file name (title and the batch "
    "run's country suffix, letter case ignored as Windows and macOS compare names), each adds "
    "the tag groups of its good name that not all of them share, in their order (for example "
    "\"(V1.1)\", \"(PAL)\", \"(Kiosk Demo)\"; a group the good name leaves open is closed), "
    "and the title rule is applied again. Dumps that still share a file name, their good names "
    "being alike, get a tag of our own: in the order of their keys the first keeps its title "
    "and the others add \" (Alt 2)\", \" (Alt 3)\" and so on, so the tags stay the same on "
    "every run as long as no dump of that name is added. The table's rows are never tagged and "
    "come first. A dump record (key CRC1-CRC2-C:CC) is written for every dump whose title "
    "neither the demo table nor its internal-name record gives, and for every public-domain "
    "dump (good name tagged \"(PD)\") whose name is padded: the facts pad names with spaces, "
    "but homebrew images often pad with NULs, and the dump key names them either way. Rows "
    "whose internal name "
    "begins with a NUL byte are no dumps here: the program never names them.";

bool isWritableKey(std::string_view key) {
    return key.find_first_of("\"\r\n") == std::string_view::npos;
}

bool listTakesName(std::string_view key, LeftOutReason* reason) {
    LeftOutReason why{};
    if (!key.empty() && key.front() == '\0') {
        why = LeftOutReason::NulStart;
    } else if (key.find_first_not_of(std::string_view(" \0", 2)) == std::string_view::npos) {
        why = LeftOutReason::Empty;
    } else if (isDemoTableName(key)) {
        why = LeftOutReason::DemoTable;
    } else if (!isWritableKey(key)) {
        why = LeftOutReason::UnwritableKey;
    } else {
        return true;
    }
    if (reason != nullptr) {
        *reason = why;
    }
    return false;
}

namespace {

// The facts' names end in spaces they inferred; a homebrew image may hold
// NULs there instead, which its internal-name record would not match.
bool nulPaddingLikely(const FactsRow& row) {
    return row.internalName.back() == ' ' && row.goodName.find("(PD)") != std::string::npos;
}

// Orders candidates by rows (most first), then by title bytes.
bool moreRowsFirst(const TitleCandidate& a, const TitleCandidate& b) {
    if (a.rows != b.rows) {
        return a.rows > b.rows;
    }
    return a.title < b.title;
}

// Puts the chosen candidate first and says why it won.
ChoiceReason choose(std::vector<TitleCandidate>& candidates) {
    std::sort(candidates.begin(), candidates.end(), moreRowsFirst);
    const std::size_t most = candidates.front().rows;
    const auto tiedEnd = std::find_if(candidates.begin(), candidates.end(),
                                      [most](const TitleCandidate& c) { return c.rows != most; });
    if (tiedEnd - candidates.begin() == 1) {
        return ChoiceReason::MostRows;
    }
    const auto usa =
        std::find_if(candidates.begin(), tiedEnd, [](const TitleCandidate& c) { return c.usaRow; });
    const bool oneUsa =
        usa != tiedEnd &&
        std::find_if(usa + 1, tiedEnd, [](const TitleCandidate& c) { return c.usaRow; }) == tiedEnd;
    if (usa == tiedEnd) {
        return ChoiceReason::SortOrder;
    }
    std::rotate(candidates.begin(), usa, usa + 1);
    return oneUsa ? ChoiceReason::UsaRow : ChoiceReason::UsaRowsSortOrder;
}

ListTitle listTitleOf(const FactsRow& row, std::string_view title) {
    try {
        return makeListTitle(title);
    } catch (const std::invalid_argument& error) {
        throw std::runtime_error("facts line " + std::to_string(row.line) +
                                 ": title: " + error.what());
    }
}

ListTitle listTitleOf(const FactsRow& row) {
    return listTitleOf(row, row.title);
}

// Windows and macOS take names differing in letter case for one name.
std::string foldCase(std::string_view windows1252) {
    std::string folded(windows1252);
    for (char& c : folded) {
        const auto byte = static_cast<std::uint8_t>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
            c = static_cast<char>(byte + 0x20);
        } else if (byte == 0x8A || byte == 0x8C || byte == 0x8E) { // Š Œ Ž
            c = static_cast<char>(byte + 0x10);
        } else if (byte == 0x9F) { // Ÿ
            c = '\xFF';
        }
    }
    return folded;
}

struct Dump {
    const FactsRow* row;
    DemoLookup demo;
    DumpName name;
};

// The dumps by the file name they would get, in key order within each.
std::map<std::string, std::vector<Dump*>> byFileName(std::vector<Dump>& dumps) {
    std::map<std::string, std::vector<Dump*>> groups;
    for (Dump& dump : dumps) {
        groups[foldCase(dump.name.title) + '\0' + dump.name.suffix].push_back(&dump);
    }
    std::erase_if(groups, [](const auto& group) { return group.second.size() < 2; });
    return groups;
}

// Each dump of a shared file name gets the tags of its good name that not all share.
void addVariantTags(const std::vector<Dump*>& group) {
    std::vector<std::vector<std::string>> tags;
    tags.reserve(group.size());
    for (const Dump* dump : group) {
        tags.push_back(variantTags(dump->row->goodName, dump->row->title));
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        std::string added;
        for (const std::string& tag : tags[i]) {
            const bool shared = std::all_of(tags.begin(), tags.end(), [&tag](const auto& other) {
                return std::find(other.begin(), other.end(), tag) != other.end();
            });
            added += shared ? "" : " " + tag;
        }
        Dump& dump = *group[i];
        if (!dump.name.tableTitle && !added.empty()) {
            dump.name.title = listTitleOf(*dump.row, dump.row->title + added).text;
            dump.name.tagged = true;
        }
    }
}

// Dumps whose good names do not tell them apart: all but the first in key
// order (a table row always first) get " (Alt N)".
void addAltTags(std::vector<Dump*> group) {
    std::stable_partition(group.begin(), group.end(),
                          [](const Dump* dump) { return dump->name.tableTitle; });
    for (std::size_t i = 1; i < group.size(); ++i) {
        DumpName& name = group[i]->name;
        if (!name.tableTitle) {
            const int alt = static_cast<int>(i + 1);
            std::string tagged =
                listTitleOf(*group[i]->row,
                            windows1252ToUtf8(name.title) + " (Alt " + std::to_string(alt) + ")")
                    .text;
            // A title at the length limit has no room for the tag: the clash stays, reported.
            if (tagged != name.title) {
                name.alt = alt;
                name.title = std::move(tagged);
            }
        }
    }
}

void nameDumps(const std::vector<FactsRow>& rows, NameListBuild& build) {
    std::map<std::string, const FactsRow*> byKey;
    for (const FactsRow& row : rows) {
        if (!row.reliable || row.internalName.starts_with('\0')) {
            continue;
        }
        const auto [known, fresh] = byKey.emplace(dumpKey(row), &row);
        if (!fresh) {
            throw std::runtime_error("facts lines " + std::to_string(known->second->line) +
                                     " and " + std::to_string(row.line) +
                                     ": two reliable rows with the dump key " + known->first);
        }
    }
    std::vector<Dump> dumps;
    for (const auto& [key, row] : byKey) {
        std::uint32_t crc1 = 0;
        for (const std::uint8_t byte : row->crc1) {
            crc1 = crc1 << 8 | byte;
        }
        const DemoResult demo = lookUpDemo(row->internalName, crc1);
        DumpName name{row->line, key, listTitleOf(*row).text, batchCountrySuffix(row->country)};
        name.tableTitle = demo.outcome == DemoLookup::Title;
        if (name.tableTitle) {
            name.title = demo.title;
        }
        if (!name.title.empty()) {
            dumps.push_back(Dump{row, demo.outcome, std::move(name)});
        }
    }
    for (const auto& [fileName, group] : byFileName(dumps)) {
        addVariantTags(group);
    }
    for (const auto& [fileName, group] : byFileName(dumps)) {
        addAltTags(group);
    }
    for (const auto& [fileName, group] : byFileName(dumps)) {
        NameClash clash{windows1252ToUtf8(group.front()->name.title) + group.front()->name.suffix,
                        {}};
        for (const Dump* dump : group) {
            clash.keys.push_back(dump->name.key);
        }
        build.clashes.push_back(std::move(clash));
    }

    std::map<std::string, std::string> recordTitles;
    for (const NameRecord& record : build.records) {
        recordTitles.emplace(record.key, record.title);
    }
    for (Dump& dump : dumps) {
        const auto record = recordTitles.find(dump.row->internalName);
        const bool nameGivesTitle = dump.demo == DemoLookup::NotInTable &&
                                    record != recordTitles.end() &&
                                    record->second == dump.name.title;
        dump.name.dumpRecord =
            !dump.name.tableTitle && (!nameGivesTitle || nulPaddingLikely(*dump.row));
        if (dump.name.dumpRecord) {
            build.dumpRecords.push_back(NameRecord{dump.name.key, dump.name.title});
        }
        build.dumps.push_back(std::move(dump.name));
    }
}

} // namespace

std::string dumpKey(const FactsRow& row) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string key;
    auto put = [&key](std::uint8_t byte) {
        key += kDigits[byte >> 4];
        key += kDigits[byte & 0x0F];
    };
    for (const std::uint8_t byte : row.crc1) {
        put(byte);
    }
    key += '-';
    for (const std::uint8_t byte : row.crc2) {
        put(byte);
    }
    key += "-C:";
    put(row.country);
    return key;
}

std::vector<std::string> variantTags(std::string_view goodName, std::string_view title) {
    std::vector<std::string> tags;
    if (!goodName.starts_with(title)) {
        return tags;
    }
    const std::string_view rest = goodName.substr(title.size());
    std::size_t i = 0;
    while (i < rest.size()) {
        if (rest[i] == ' ') {
            ++i;
            continue;
        }
        std::string tag;
        std::string closers; // the brackets still open, innermost last
        do {
            const char c = rest[i++];
            tag += c;
            if (c == '(' || c == '[') {
                closers += c == '(' ? ')' : ']';
            } else if (!closers.empty() && c == closers.back()) {
                closers.pop_back();
            }
        } while (i < rest.size() && (!closers.empty() || std::string_view(" ([").find(rest[i]) ==
                                                             std::string_view::npos));
        tag.append(closers.rbegin(), closers.rend());
        tags.push_back(std::move(tag));
    }
    return tags;
}

NameListBuild buildNameList(const std::vector<FactsRow>& rows) {
    NameListBuild build;
    build.rowsRead = rows.size();

    std::map<std::string, std::vector<const FactsRow*>> byName; // ordered by key bytes
    for (const FactsRow& row : rows) {
        if (row.reliable) {
            ++build.reliableRows;
            byName[row.internalName].push_back(&row);
        }
    }
    build.reliableNames = byName.size();

    std::map<std::string, ChangedTitle> changed; // by facts title, so each is listed once
    for (const auto& [key, nameRows] : byName) {
        LeftOutReason reason{};
        bool takes = listTakesName(key, &reason);
        std::map<std::string, TitleCandidate> candidates;
        if (takes) {
            for (const FactsRow* row : nameRows) {
                const ListTitle title = listTitleOf(*row);
                if (title.changed && changed.count(row->title) == 0) {
                    changed[row->title] = ChangedTitle{row->title, title.text};
                    build.transliterated += title.transliterated;
                    build.dropped += title.dropped;
                }
                if (title.text.empty()) {
                    continue;
                }
                TitleCandidate& candidate = candidates[title.text];
                candidate.title = title.text;
                ++candidate.rows;
                candidate.usaRow = candidate.usaRow || row->country == kUsaCountry;
            }
            if (candidates.empty()) {
                takes = false;
                reason = LeftOutReason::EmptyTitle;
            }
        }
        if (!takes) {
            std::set<std::string> titles;
            for (const FactsRow* row : nameRows) {
                titles.insert(row->title);
            }
            build.leftOut.push_back(
                LeftOutName{key, reason, nameRows.size(), {titles.begin(), titles.end()}});
            continue;
        }
        TitleChoice choice{key, {}, ChoiceReason::MostRows};
        for (auto& entry : candidates) {
            choice.candidates.push_back(std::move(entry.second));
        }
        choice.reason = choose(choice.candidates);
        build.records.push_back(NameRecord{key, choice.candidates.front().title});
        if (choice.candidates.size() > 1) {
            build.choices.push_back(std::move(choice));
        }
    }
    for (auto& entry : changed) {
        build.changedTitles.push_back(std::move(entry.second));
    }
    nameDumps(rows, build);
    return build;
}

std::string nameListText(const NameListBuild& build) {
    std::string text;
    for (const auto* records : {&build.dumpRecords, &build.records}) {
        for (const NameRecord& record : *records) {
            text += '"';
            text += record.key;
            text += "\",\"";
            text += record.title;
            text += "\"\r\n";
        }
    }
    return text;
}

} // namespace quillmark
