#include "single_file_view.h"

#include "fsys/paths.h"
#include "romid/header_text.h"
#include "ui/presenter/header_texts.h"

namespace quillmark {

namespace {

void reportFailure(WindowView& view, const FileFailure& failure) {
    if (failure.code() == FileFailureCode::PermissionDenied) {
        view.showMessage("Access denied !", kErrorTitle, BoxStyle::OkExclamation);
    }
}

} // namespace

Identification showSelectedFile(WindowView& view, RomIdentity& identity, const std::string& folder,
                                const std::string& fileName, NamingStyle style, NameList& list) {
    clearCaptions(view, {Control::Romname, Control::Hersteller, Control::Cardid, Control::Land,
                         Control::Namevoll, Control::Nameneu});
    view.setControlVisible(Control::Command2, false);
    view.setCaption(Control::Dateiname, fileName);

    // The identification runs to its end first; what it reached is shown in
    // the order the user would have seen it appear.
    Identification result = identifyFile(identity, folder, fileName, style, list);
    if (!result.headerRead) {
        reportFailure(view, *result.failure);
        return result;
    }
    view.setCaption(Control::Dateityp, fileTypeText(result.format, result.archive));
    if (result.format == RomFormat::NotRom) {
        clearCaptions(view, {Control::Romname, Control::Hersteller, Control::Cardid, Control::Land,
                             Control::Namevoll});
        view.setControlVisible(Control::Command2, false);
        clearCaptions(view, {Control::Nameneu, Control::CRC});
        return result;
    }
    view.setCaption(Control::CRC, identity.crc1Text);
    view.setCaption(Control::Romname, displayText(identity.internalName));
    view.setCaption(Control::Hersteller, displayText(identity.manufacturerText));
    view.setCaption(Control::Cardid, displayText(identity.cardIdText));
    view.setCaption(Control::Land, displayText(identity.countryText));
    if (result.failure) {
        reportFailure(view, *result.failure);
        return result;
    }
    if (result.titleFound) {
        view.setCaption(Control::Namevoll, identity.fullTitle);
    }
    view.setControlVisible(Control::Command2, result.renameOffered);
    view.setCaption(Control::Nameneu, identity.newFileName);
    return result;
}

Identification showClickedFile(WindowView& view, RomIdentity& identity, const std::string& folder,
                               const std::string& fileName, NamingStyle style, NameList& list,
                               MissingListNotice& notice) {
    Identification result = showSelectedFile(view, identity, folder, fileName, style, list);
    if (!list.path().empty()) {
        notice.told = false;
    } else if (result.headerRead && result.failure && !notice.told) {
        // Past the header, only the name list can have failed.
        notice.told = true;
        view.showMessage(result.failure->description(), kErrorTitle, BoxStyle::OkExclamation);
    }
    return result;
}

Identification showIdentifiedFileAgain(WindowView& view, RomIdentity& identity, NamingStyle style,
                                       NameList& list) {
    // romFilePath is the folder, its separator and the file name.
    const std::string path = identity.romFilePath;
    const std::size_t nameStart = path.rfind(kPathSeparator) + 1;
    const std::string folder = path.substr(0, nameStart - identity.pathSeparator.size());
    return showSelectedFile(view, identity, folder, path.substr(nameStart), style, list);
}

} // namespace quillmark
