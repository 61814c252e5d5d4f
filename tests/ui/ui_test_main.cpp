// GoogleTest runner for the window tests: one application for all of them,
// on the offscreen platform unless another one is asked for.

#include "support/temp_folder.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Neither the user's settings nor a name list installed on this machine
    // may reach the tests.
    const quillmark::test::TempFolder home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
        qputenv(name, QByteArray::fromStdString(home.path()));
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
