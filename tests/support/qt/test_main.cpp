// The Qt tests run inside one QApplication. They never need a display: without a platform
// named, they run offscreen (but on Windows) (test discovery runs this program too). A test folder
// that needs more of the application, such as the window's font substitutions, registers a
// ::testing::Environment, which sets up once the application exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Qt for Windows, as built here, has no offscreen platform: there the tests run on the
    // screen Wine draws to (a virtual one in the build).
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    // What the windows remember goes to a folder of the tests' own, not the user's settings.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
