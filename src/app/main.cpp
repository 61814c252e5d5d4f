#include "ui/app_settings.h"
#include "ui/command_line.h"
#include "ui/form1.h"

#include <QApplication>
#include <QStringList>
#include <cstdlib>
#include <iostream>

namespace {

int cannotOpenWindow(const std::string& reason) {
    std::cerr << "quillmark: cannot open a window: " << reason << '\n';
    return 1;
}

// While the application connects to the display, the platform's messages are
// held back: when it cannot connect, the toolkit ends the program with an
// abort and a screenful of advice; the user gets one line and exit status 1
// instead. When it can, the messages held back are passed on.
QtMessageHandler passOn = nullptr;
QStringList heldBack;
QString platformReason;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::exit(cannotOpenWindow(
            (platformReason.isEmpty() ? message.section('\n', 0, 0) : platformReason)
                .toStdString()));
    }
    if (platformReason.isEmpty() && context.category != nullptr &&
        QByteArrayView(context.category).startsWith("qt.qpa")) {
        platformReason = message; // the first says why, the later ones what failed next
    }
    heldBack << qFormatLogMessage(type, context, message);
}

bool hasDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A platform asked for by name (offscreen, say) needs no display.
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv) {
    // Read before the application exists: --help and --version need no display.
    quillmark::StartRequest request;
    if (const auto status = quillmark::readCommandLine(
            std::vector<std::string>(argv + 1, argv + argc), request, std::cout, std::cerr)) {
        return *status;
    }
    if (!hasDisplay()) {
        return cannotOpenWindow("no display (DISPLAY/WAYLAND_DISPLAY unset)");
    }
    passOn = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(passOn);
    for (const QString& line : heldBack) {
        std::cerr << line.toStdString() << '\n';
    }
    quillmark::Form1 window(quillmark::startFolder(request));
    window.show();
    if (!request.file.empty()) {
        window.showFile(request.file);
    }
    return QApplication::exec();
}
