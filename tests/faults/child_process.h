#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace faults {

// How a piece of work run in a child process ended.
struct ChildResult {
    enum class Ending { kReported, kCrashed, kTimedOut };
    Ending ending = Ending::kReported;
    std::string report;  // what the work returned; for kCrashed, how the child ended
    std::chrono::duration<double> elapsed{};
};

// Runs `work` in a forked child, so that resource limits, mount namespaces and crashes stay
// there, and returns the text it returned. A child that outlives `deadline` is killed: a hang
// fails the test instead of holding the test run.
ChildResult RunInChild(const std::function<std::string()>& work, std::chrono::seconds deadline);

// `what` and the text of errno, for a report.
std::string Failure(const char* what);

// Moves the calling child into a mount namespace of its own, whose mounts vanish with it;
// empty where that worked, else why not.
std::string EnterPrivateMounts();

// Whether this build carries AddressSanitizer, which slows the work several times over.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
inline constexpr bool kSanitized = __has_feature(address_sanitizer);
#else
inline constexpr bool kSanitized = false;
#endif

// The prefix of a report that asks for the test to be skipped, followed by the reason.
inline constexpr std::string_view kSkipPrefix = "SKIP: ";

}  // namespace faults
