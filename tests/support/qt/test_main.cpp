// The Qt tests run inside one QApplication. They never need a display: without a platform
// named, they run offscreen (test discovery runs this program too). A test folder that needs
// more of the application, such as the window's font substitutions, registers a
// ::testing::Environment, which sets up once the application exists.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
