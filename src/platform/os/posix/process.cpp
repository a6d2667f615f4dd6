#include "platform/os/process.h"

#include <csignal>

namespace platform {

void ReportClosedPipesAsWriteErrors() {
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace platform
