#pragma once

#include "rename/window_view.h"
#include "romid/identify.h"
#include "romid/name_list.h"

#include <string>

namespace quillmark {

// A click in the file list: identifies `fileName` in `folder` into `identity`
// and shows the results in the file-detail labels. "Rename file" ends up
// visible only when a name was found. A failure keeps what was shown so far;
// a refused access is reported in a box, every other failure ends it quietly.
Identification showSelectedFile(WindowView& view, RomIdentity& identity, const std::string& folder,
                                const std::string& fileName, NamingStyle style, NameList& list);

} // namespace quillmark
