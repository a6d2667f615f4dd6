#include "platform/os/process.h"

#include <algorithm>
#include <csignal>

namespace platform {

void ReportClosedPipesAsWriteErrors() {
    std::signal(SIGPIPE, SIG_IGN);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return {argv + std::min(argc, 1), argv + argc};
}

bool WriteText(std::FILE* stream, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

}  // namespace platform
