// hy3conv: converts a fare table text file to a fare display data file (.hy3) from the
// command line, with the same core as the window.
#include <cstdio>
#include <new>

#include "fare_model/run_error.h"
#include "platform/os/process.h"
#include "programs/hy3conv/commands.h"
#include "programs/hy3conv/messages.h"

namespace {

// Even building the arguments can run out of memory; nothing may end the program unreported.
int ReportUncaught(int code) {
    try {
        hy3conv::ReportError(hy3conv::FailureText(fare_model::RunError(code)));
    } catch (...) {
        std::fputs(code == fare_model::error_code::kOutOfMemory
                       ? "hy3conv: 7:メモリが不足しています。\n"
                       : "hy3conv: 51:内部エラーです。\n",
                   stderr);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    platform::ReportFileSizeLimitAsWriteErrors();
    try {
        return hy3conv::Run(platform::CommandLineArguments(argc, argv));
    } catch (const std::bad_alloc&) {
        return ReportUncaught(fare_model::error_code::kOutOfMemory);
    } catch (...) {
        return ReportUncaught(fare_model::error_code::kInternal);
    }
}
