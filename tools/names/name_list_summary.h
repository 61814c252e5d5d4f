#pragma once

#include "name_list_build.h"

#include <string>
#include <string_view>

namespace quillmark {

// The generated summary (Markdown, UTF-8): counts, the names left out, every
// choice among several titles, every title the title rule changed, and the
// rule itself. Depends only on the build, so it regenerates byte for byte.
std::string nameListSummary(const NameListBuild& build, std::string_view factsFileName);

} // namespace quillmark
