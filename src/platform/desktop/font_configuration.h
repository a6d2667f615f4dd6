#pragma once

#include <thread>

namespace platform {

// The desktop's font configuration, read ahead on a thread of its own. Qt reads it (fontconfig's
// files and font caches, about a quarter of the window's start) on the window's thread when the
// first text is measured; started before the program connects to the display, the reading
// overlaps the connection. Where Qt takes its fonts from elsewhere (Windows), it does nothing.
class FontConfigurationReadAhead {
  public:
    FontConfigurationReadAhead();
    ~FontConfigurationReadAhead();
    FontConfigurationReadAhead(const FontConfigurationReadAhead&) = delete;
    FontConfigurationReadAhead& operator=(const FontConfigurationReadAhead&) = delete;

    // Returns once the configuration is read. Called as soon as the application stands: before
    // the first text is measured (or Qt reads the configuration a second time alongside), and
    // before the application can end (Qt's font database then destroys the configuration).
    void Wait();

  private:
    std::thread reader_;
};

}  // namespace platform
