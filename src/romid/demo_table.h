#pragma once

#include <cstdint>
#include <string_view>

namespace quillmark {

// The three answers of the built-in table.
enum class DemoLookup {
    NotInTable, // the name list decides
    Title,      // the row's title
    NoTitle,    // a table name with an unknown CRC1: no title, and no name-list lookup
};

struct DemoResult {
    DemoLookup outcome = DemoLookup::NotInTable;
    std::string_view title;
};

// Internal names shared by several demos, told apart by their CRC1.
DemoResult lookUpDemo(std::string_view internalName, std::uint32_t crc1);

// True for the four names the table covers; the name list is never asked for them.
bool isDemoTableName(std::string_view internalName);

} // namespace quillmark
