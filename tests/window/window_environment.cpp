// The window tests draw the window as users see it: its face maps to an installed gothic.
#include <gtest/gtest.h>

#include "window/desktop_setup.h"

namespace main_window {
namespace {

class WindowEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { RegisterFontSubstitutions(); }
};

[[maybe_unused]] ::testing::Environment* const kWindowEnvironment =
    ::testing::AddGlobalTestEnvironment(new WindowEnvironment);

}  // namespace
}  // namespace main_window
