// The window tests run inside one QApplication, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

#include "window/desktop_setup.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    main_window::RegisterFontSubstitutions();
    return RUN_ALL_TESTS();
}
