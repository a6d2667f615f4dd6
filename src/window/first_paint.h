#pragma once

#include <QObject>

class QApplication;

namespace main_window {

// For the start-up benchmarks (bench/window_start.sh, bench/main_window_start.sh) only: where
// the environment holds RUKANOBA_BENCH_FIRST_PAINT, once the first window has painted, prints
// the wall-clock time in nanoseconds since the epoch and quits.
class FirstPaintReporter : public QObject {
  public:
    // Watches `application` when the environment asks for it.
    explicit FirstPaintReporter(QApplication& application);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool reported_ = false;
};

}  // namespace main_window
