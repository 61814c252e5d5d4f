#include "app_settings.h"

#include "qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace quillmark {

namespace {

const QString kFolderKey = QStringLiteral("lastFolder");
const QString kStyleKey = QStringLiteral("namingStyle");
const QString kUltraHle = QStringLiteral("ultrahle");

// Only absolute folders count: a relative one would put the settings
// wherever the program happens to be started.
std::string absoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

void tellOnce(const std::string& why) {
    static bool told = false;
    if (!told) {
        told = true;
        std::cerr << "quillmark: settings are not kept: " << why << '\n';
    }
}

// The settings, or nothing where they are not kept: no absolute
// configuration folder, or something other than a file under the settings'
// name (a FIFO there would hang the start, a folder could not be written).
std::unique_ptr<QSettings> openSettings() {
    const std::string path = settingsFilePath();
    if (path.empty()) {
        tellOnce("neither XDG_CONFIG_HOME nor HOME is an absolute folder");
        return nullptr;
    }
    const QFileInfo file(pathText(path));
    if (file.exists() && !file.isFile()) {
        tellOnce(path + " is not a regular file");
        return nullptr;
    }
    return std::make_unique<QSettings>(file.filePath(), QSettings::IniFormat);
}

} // namespace

std::string settingsFilePath() {
    std::string folder = absoluteEnv("XDG_CONFIG_HOME");
    if (folder.empty()) {
        const std::string home = absoluteEnv("HOME");
        if (home.empty()) {
            return "";
        }
        folder = home + "/.config";
    }
    return folder + "/quillmark/quillmark.conf";
}

std::string rememberedFolder() {
    const auto settings = openSettings();
    return settings ? pathBytes(settings->value(kFolderKey).toString()) : "";
}

void rememberFolder(const std::string& folder) {
    if (const auto settings = openSettings()) {
        settings->setValue(kFolderKey, pathText(folder));
    }
}

NamingStyle rememberedNamingStyle() {
    const auto settings = openSettings();
    return settings && settings->value(kStyleKey).toString() == kUltraHle ? NamingStyle::UltraHle
                                                                          : NamingStyle::Normal;
}

void rememberNamingStyle(NamingStyle style) {
    if (const auto settings = openSettings()) {
        settings->setValue(kStyleKey,
                           style == NamingStyle::UltraHle ? kUltraHle : QStringLiteral("normal"));
    }
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
