#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// "Quillmark v2.0 by <credit> - <web address>".
std::string windowTitle();

// The About box: eleven lines joined by single line feeds.
std::string aboutText();
inline constexpr std::string_view kAboutTitle = "About Quillmark...";

// What the mode and naming-style labels say.
inline constexpr std::string_view kSingleFileDescription =
    "Use this mode to rename a single ROM-Imagefile";
inline constexpr std::string_view kBatchDescription =
    "Use this mode to rename all ROM-Imagefiles in a directory";
inline constexpr std::string_view kNormalNamesDescription =
    "Normal long filenames that also can contain spaces will be used";
inline constexpr std::string_view kUltraHleNamesDescription =
    "Long filenames will be used, spaces will be replaced by underscores\n( _ )";

} // namespace quillmark
