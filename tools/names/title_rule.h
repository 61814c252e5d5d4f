#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmark {

// The longest title the list holds, counted in its UTF-8 (file-name) form;
// with a country suffix and ".v64" a name stays far below the common
// 255-byte limit of a file name.
inline constexpr std::size_t kMaxTitleBytes = 200;

// A facts title made fit for the list.
struct ListTitle {
    std::string text;       // Windows-1252 bytes, as the list holds them; may be empty
    bool changed = false;   // differs from the facts title
    int transliterated = 0; // characters outside Windows-1252 written as a near form
    int dropped = 0;        // characters outside Windows-1252 with no near form
};

// Applies the title rule (kTitleRuleText says it in words) to a UTF-8 title
// and encodes the result in Windows-1252. Throws std::invalid_argument on
// malformed UTF-8.
ListTitle makeListTitle(std::string_view utf8Title);

// The title rule in words, for the generated summary.
extern const std::string_view kTitleRuleText;

} // namespace quillmark
