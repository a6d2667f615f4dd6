#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "window/form1.h"

namespace main_window {

// Serves the event loop until the window's work, which runs off it, has ended.
inline void WaitUntilIdle(const Form1& form) {
    QElapsedTimer waited;
    waited.start();
    while (form.busy() && waited.elapsed() < 60000) {
        QTest::qWait(2);
    }
    EXPECT_FALSE(form.busy());
}

}  // namespace main_window
