#pragma once

#include <string_view>

namespace quillmark {

// Who made this program and where it lives: the one place for the credit,
// the web address and the e-mail address shown in the title and About box.
inline constexpr std::string_view kCredit = "the Quillmark team";
inline constexpr std::string_view kWebAddress = "https://quillmark.example.org";
inline constexpr std::string_view kEmailAddress = "quillmark@example.org";
inline constexpr std::string_view kReleaseYear = "2024";

} // namespace quillmark
