#include "window/first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>

namespace main_window {
namespace {

constexpr int kLatestStartMs = 1000;

// Watches the application's events for the first paint of a window.
class FirstFrameWatcher : public QObject {
  public:
    FirstFrameWatcher(QApplication& application, std::function<void()> work)
        : QObject(&application), work_(std::move(work)) {
        application.installEventFilter(this);
        QTimer::singleShot(kLatestStartMs, this, [this] { Run(); });
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            qobject_cast<QWidget*>(watched)->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            // The paint and its children's end first; the frame then goes to the screen.
            QTimer::singleShot(0, this, [this] { Run(); });
        }
        return false;
    }

  private:
    void Run() {
        if (work_) {
            QCoreApplication::instance()->removeEventFilter(this);
            const std::function<void()> work = std::move(work_);
            work_ = nullptr;
            work();
            deleteLater();
        }
    }

    std::function<void()> work_;
};

}  // namespace

FirstPaintReporter::FirstPaintReporter(QApplication& application) {
    if (qEnvironmentVariableIsSet("RUKANOBA_BENCH_FIRST_PAINT")) {
        application.installEventFilter(this);
    }
}

void AfterFirstFrame(QApplication& application, std::function<void()> work) {
    new FirstFrameWatcher(application, std::move(work));
}

bool FirstPaintReporter::eventFilter(QObject* watched, QEvent* event) {
    if (!reported_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        qobject_cast<QWidget*>(watched)->isWindow()) {
        reported_ = true;
        // Children paint in the same pass: report once it has ended.
        QTimer::singleShot(0, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            // The processor time spent so far (wall time on Windows): unlike the wall clock,
            // it hardly depends on what else the machine is doing.
            const std::clock_t used = std::clock();
            std::printf("%lld %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                        static_cast<long long>(used * 1000000LL / CLOCKS_PER_SEC));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return false;
}

}  // namespace main_window
