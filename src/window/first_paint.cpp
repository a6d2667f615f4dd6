#include "window/first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace main_window {

FirstPaintReporter::FirstPaintReporter(QApplication& application) {
    if (qEnvironmentVariableIsSet("RUKANOBA_BENCH_FIRST_PAINT")) {
        application.installEventFilter(this);
    }
}

bool FirstPaintReporter::eventFilter(QObject* watched, QEvent* event) {
    if (!reported_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        qobject_cast<QWidget*>(watched)->isWindow()) {
        reported_ = true;
        // Children paint in the same pass: report once it has ended.
        QTimer::singleShot(0, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("%lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return false;
}

}  // namespace main_window
