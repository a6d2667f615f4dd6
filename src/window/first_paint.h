#pragma once

#include <QObject>
#include <functional>

class QApplication;

namespace main_window {

// For the start-up benchmarks (bench/window_start.sh, bench/main_window_start.sh) only: where
// the environment holds RUKANOBA_BENCH_FIRST_PAINT, once the first window has painted, prints
// the wall-clock time in nanoseconds since the epoch and the processor time used so far in
// microseconds, and quits.
class FirstPaintReporter : public QObject {
  public:
    // Watches `application` when the environment asks for it.
    explicit FirstPaintReporter(QApplication& application);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool reported_ = false;
};

// Runs `work` once, after the first window of the program has painted its first frame (or
// after a second if no window paints), so that what that frame does not need waits until the
// window is on screen.
void AfterFirstFrame(QApplication& application, std::function<void()> work);

}  // namespace main_window
