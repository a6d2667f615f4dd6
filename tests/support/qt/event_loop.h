#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace main_window::testing {

// Runs the event loop until `condition` holds; false if it still does not after the timeout.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace main_window::testing
