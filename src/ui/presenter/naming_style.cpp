#include "naming_style.h"

#include "romid/file_name.h"

namespace quillmark {

namespace {

void showProposedName(WindowView& view, const RomIdentity& identity) {
    if (view.isControlVisible(Control::Command2)) {
        view.setCaption(Control::Nameneu, identity.newFileName);
    }
}

} // namespace

void chooseNormalNames(WindowView& view, RomIdentity& identity) {
    identity.newFileName =
        composeFileName(identity.fullTitle, identity.countrySuffix, identity.nameExtension);
    showProposedName(view, identity);
}

void chooseUltraHleNames(WindowView& view, RomIdentity& identity) {
    identity.newFileName = ultraHleName(identity.newFileName);
    showProposedName(view, identity);
}

} // namespace quillmark
