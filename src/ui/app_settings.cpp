#include "app_settings.h"

#include "qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quillmark {

namespace {

// Named here rather than through the application's names, so that any
// caller, tests included, reads and writes the same file.
class Settings : public QSettings {
public:
    Settings() : QSettings(QStringLiteral("quillmark"), QStringLiteral("quillmark")) {}
};

const QString kFolderKey = QStringLiteral("lastFolder");
const QString kStyleKey = QStringLiteral("namingStyle");
const QString kUltraHle = QStringLiteral("ultrahle");

} // namespace

std::string rememberedFolder() {
    Settings settings;
    return pathBytes(settings.value(kFolderKey).toString());
}

void rememberFolder(const std::string& folder) {
    Settings settings;
    settings.setValue(kFolderKey, pathText(folder));
}

NamingStyle rememberedNamingStyle() {
    Settings settings;
    return settings.value(kStyleKey).toString() == kUltraHle ? NamingStyle::UltraHle
                                                             : NamingStyle::Normal;
}

void rememberNamingStyle(NamingStyle style) {
    Settings settings;
    settings.setValue(kStyleKey,
                      style == NamingStyle::UltraHle ? kUltraHle : QStringLiteral("normal"));
}

std::string startFolder(const StartRequest& request) {
    switch (request.place) {
    case StartPlace::Folder:
        return request.folder;
    case StartPlace::LastFolder: {
        const std::string last = rememberedFolder();
        // A folder since removed or unmounted: start at home instead.
        return !last.empty() && QFileInfo(pathText(last)).isDir() ? last
                                                                  : pathBytes(QDir::homePath());
    }
    case StartPlace::WorkingFolder:
        break;
    }
    return "";
}

} // namespace quillmark
