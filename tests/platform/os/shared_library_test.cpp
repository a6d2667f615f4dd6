#include "platform/os/shared_library.h"

#include <gtest/gtest.h>

namespace {

using platform::SharedLibrary;

// A library loaded on demand gives its functions, and what is missing comes back as null
// with a reason, never as a crash: the command then fails with a message of its own.
TEST(SharedLibraryTest, LoadsOnDemandAndTellsWhatIsMissing) {
    std::string why;
    EXPECT_EQ(SharedLibrary::Load("libno-such-library.so.0", why), nullptr);
    EXPECT_NE(why.find("libno-such-library.so.0"), std::string::npos) << why;

    why.clear();
    const SharedLibrary* zlib = SharedLibrary::Load("libz.so.1", why);
    ASSERT_NE(zlib, nullptr) << why;
    EXPECT_EQ(SharedLibrary::Load("libz.so.1", why), zlib);  // loaded once
    using Version = const char*();
    ASSERT_NE(zlib->Find<Version>("zlibVersion"), nullptr);
    EXPECT_STRNE(zlib->Find<Version>("zlibVersion")(), "");
    EXPECT_EQ(zlib->Find<Version>("no_such_function"), nullptr);
}

}  // namespace
