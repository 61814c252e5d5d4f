#pragma once

#include "romid/name_list.h"
#include "ui/presenter/rom_identity.h"
#include "ui/presenter/window_view.h"

#include <string>

namespace quillmark {

// A click in the file list: identifies `fileName` in `folder` into `identity`
// and shows the results in the file-detail labels. "Rename file" ends up
// visible only when a name was found. A failure keeps what was shown so far;
// a refused access is reported in a box, every other failure ends it quietly.
Identification showSelectedFile(WindowView& view, RomIdentity& identity, const std::string& folder,
                                const std::string& fileName, NamingStyle style, NameList& list);

// Whether the user has been told that there is no name list anywhere.
struct MissingListNotice {
    bool told = false;
};

// A click as the window runs it: showSelectedFile, with the name list searched
// afresh. A lookup that needed the list and found none anywhere is
// told in one box naming the places searched; later clicks stay quiet until a
// list turns up again.
Identification showClickedFile(WindowView& view, RomIdentity& identity, const std::string& folder,
                               const std::string& fileName, NamingStyle style, NameList& list,
                               MissingListNotice& notice);

// The file at identity.romFilePath identified again (showSelectedFile), for
// when it changed after it was shown: the view then shows the file that a
// rename would act on.
Identification showIdentifiedFileAgain(WindowView& view, RomIdentity& identity, NamingStyle style,
                                       NameList& list);

} // namespace quillmark
