#pragma once

#include <QString>

namespace main_window {

QString NoDisplayText();  // why the window cannot open where there is no display

// Holds Qt's start-up messages while the application connects to the display: where it
// cannot, the program says so in Japanese and ends with status 1 instead of Qt's abort.
// Once the application stands, the held messages go out as usual.
class DisplayConnectionGuard {
  public:
    DisplayConnectionGuard();
    ~DisplayConnectionGuard();
    DisplayConnectionGuard(const DisplayConnectionGuard&) = delete;
    DisplayConnectionGuard& operator=(const DisplayConnectionGuard&) = delete;
};

}  // namespace main_window
