#include "name_list_build.h"

#include "romid/demo_table.h"
#include "title_rule.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

namespace quillmark {

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

ListTitle listTitleOf(const FactsRow& row) {
    try {
        return makeListTitle(row.title);
    } catch (const std::invalid_argument& error) {
        throw std::runtime_error("facts line " + std::to_string(row.line) +
                                 ": title: " + error.what());
    }
}

} // namespace

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
    return build;
}

std::string nameListText(const NameListBuild& build) {
    std::string text;
    for (const NameRecord& record : build.records) {
        text += '"';
        text += record.key;
        text += "\",\"";
        text += record.title;
        text += "\"\r\n";
    }
    return text;
}

} // namespace quillmark
