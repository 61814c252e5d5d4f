#pragma once

#include "ui/presenter/rom_identity.h"
#include "ui/presenter/window_view.h"

namespace quillmark {

// A click on "Normal long filenames": the proposed name is built again from
// the title and the country suffix, with its spaces. Shown only while "Rename
// file" is visible, that is while a proposed name is shown.
void chooseNormalNames(WindowView& view, RomIdentity& identity);

// A click on "UltraHLE filenames": the proposed name with underscores for
// spaces; shown under the same condition.
void chooseUltraHleNames(WindowView& view, RomIdentity& identity);

} // namespace quillmark
