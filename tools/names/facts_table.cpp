#include "facts_table.h"

#include "kit/whole_file.h"
#include "romid/header_text.h"
#include "romid/name_list_records.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quillmark {

namespace {

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

[[noreturn]] void fail(std::size_t line, const std::string& what) {
    throw std::runtime_error("facts line " + std::to_string(line) + ": " + what);
}

// Exactly `size` bytes written as 2·size hex digits.
std::string hexBytes(std::string_view hex, std::size_t size, std::size_t line,
                     std::string_view column) {
    if (hex.size() != 2 * size) {
        fail(line, std::string(column) + " must be " + std::to_string(2 * size) + " hex digits");
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigitValue(hex[i]);
        const int low = hexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            fail(line, std::string(column) + " holds a character that is no hex digit");
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

template <std::size_t N>
std::array<std::uint8_t, N> hexArray(std::string_view hex, std::size_t line,
                                     std::string_view column) {
    const std::string bytes = hexBytes(hex, N, line, column);
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        out[i] = static_cast<std::uint8_t>(bytes[i]);
    }
    return out;
}

} // namespace

std::vector<FactsRow> parseFactsTable(std::string_view text) {
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty()) {
        throw std::runtime_error("facts file is empty");
    }

    const std::vector<std::string_view> header = splitTabs(lines[0]);
    auto optionalColumn = [&header](std::string_view name) {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) -
                                        header.begin());
    };
    auto column = [&header, &optionalColumn](std::string_view name) {
        const std::size_t index = optionalColumn(name);
        if (index == header.size()) {
            throw std::runtime_error("facts header has no column " + std::string(name));
        }
        return index;
    };
    const std::size_t crc1 = column("crc1");
    const std::size_t crc2 = column("crc2");
    const std::size_t country = column("country_hex");
    const std::size_t name = column("internal_name_hex");
    const std::size_t title = column("title");
    const std::size_t reliable = column("reliable");
    const std::size_t goodName = optionalColumn("good_name");

    std::vector<FactsRow> rows;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t lineNumber = i + 1;
        if (lines[i].empty()) {
            continue;
        }
        const std::vector<std::string_view> fields = splitTabs(lines[i]);
        if (fields.size() != header.size()) {
            fail(lineNumber, "has " + std::to_string(fields.size()) + " columns, the header " +
                                 std::to_string(header.size()));
        }
        FactsRow row;
        row.line = lineNumber;
        row.crc1 = hexArray<4>(fields[crc1], lineNumber, "crc1");
        row.crc2 = hexArray<4>(fields[crc2], lineNumber, "crc2");
        row.country = hexArray<1>(fields[country], lineNumber, "country_hex")[0];
        row.internalName = hexBytes(fields[name], 20, lineNumber, "internal_name_hex");
        row.title = std::string(fields[title]);
        if (goodName < fields.size()) {
            row.goodName = std::string(fields[goodName]);
        }
        if (fields[reliable] == "yes") {
            row.reliable = true;
        } else if (fields[reliable] != "no") {
            fail(lineNumber, "reliable must be yes or no");
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<FactsRow> readFactsTable(const std::string& path) {
    return parseFactsTable(kit::readWholeFile(path));
}

} // namespace quillmark
