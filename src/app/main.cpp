#include "ui/app_settings.h"
#include "ui/command_line.h"
#include "ui/form1.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    // Read before the application exists: --help and --version need no display.
    quillmark::StartRequest request;
    if (const auto status = quillmark::readCommandLine(
            std::vector<std::string>(argv + 1, argv + argc), request, std::cout, std::cerr)) {
        return *status;
    }
    QApplication app(argc, argv);
    quillmark::Form1 window(quillmark::startFolder(request));
    window.show();
    if (!request.file.empty()) {
        window.showFile(request.file);
    }
    return QApplication::exec();
}
