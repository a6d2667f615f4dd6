#include "platform/os/process.h"

#include <algorithm>
#include <csignal>

#include "platform/os/posix/errno_error.h"

namespace platform {

void ReportClosedPipesAsWriteErrors() {
    std::signal(SIGPIPE, SIG_IGN);
}

void ReportFileSizeLimitAsWriteErrors() {
    IgnoreFileSizeSignal();
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

bool WriteText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace platform
