#pragma once

#include "names/facts_table.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace quillmark {

// The file that marks a folder as made by makeDemoFolder. Only a folder that
// holds it is ever removed; the file list does not show it (a dot file).
inline constexpr std::string_view kDemoMarkerName = ".quillmark-demo";

// The subfolder of sample images; the demo folder itself is the program's
// working folder, where it reads roms.ini.
inline constexpr std::string_view kSampleFolderName = "samples";

// Every sample image has this size: the header and zeros, as a short image.
inline constexpr std::size_t kSampleImageSize = 4096;

// Makes `folder` afresh: the marker, a copy of the name list `nameList` as
// roms.ini, and kSampleFolderName with sample images made from `facts` (games
// in all three byte orders, one of them zipped, two revisions of one game,
// one unknown, one without an internal name, one already named as the name
// list names it, two copies of one game) and a text file.
//
// An existing `folder` is removed first only when it is a real folder (not a
// link) that is empty or holds the marker; anything else throws
// std::runtime_error and is left as it was. Throws std::runtime_error too when
// a sample's facts row is missing or the name list does not name a sample.
void makeDemoFolder(const std::filesystem::path& folder, const std::vector<FactsRow>& facts,
                    const std::filesystem::path& nameList);

} // namespace quillmark
