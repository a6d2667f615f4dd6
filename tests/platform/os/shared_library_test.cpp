#include "platform/os/shared_library.h"

#include <gtest/gtest.h>

namespace {

using platform::SharedLibrary;

#ifdef _WIN32
// Windows loads from the program's folder and System32 only; kernel32 is always there.
constexpr const char* kMissing = "libno-such-library.dll";
constexpr const char* kPresent = "kernel32.dll";
constexpr const char* kFunction = "GetTickCount";
using Function = unsigned long __stdcall();
#else
constexpr const char* kMissing = "libno-such-library.so.0";
constexpr const char* kPresent = "libz.so.1";
constexpr const char* kFunction = "zlibVersion";
using Function = const char*();
#endif

// A library loaded on demand gives its functions, and what is missing comes back as null
// with a reason, never as a crash: the command then fails with a message of its own.
TEST(SharedLibraryTest, LoadsOnDemandAndTellsWhatIsMissing) {
    std::string why;
    EXPECT_EQ(SharedLibrary::Load(kMissing, why), nullptr);
    EXPECT_NE(why.find(kMissing), std::string::npos) << why;

    why.clear();
    const SharedLibrary* library = SharedLibrary::Load(kPresent, why);
    ASSERT_NE(library, nullptr) << why;
    EXPECT_EQ(SharedLibrary::Load(kPresent, why), library);  // loaded once
    ASSERT_NE(library->Find<Function>(kFunction), nullptr);
    EXPECT_TRUE(library->Find<Function>(kFunction)());
    EXPECT_EQ(library->Find<Function>("no_such_function"), nullptr);
}

}  // namespace
