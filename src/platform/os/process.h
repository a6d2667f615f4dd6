#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A closed pipe on standard output must come back as a failed write, reported, not as a
// silent end of the program.
void ReportClosedPipesAsWriteErrors();

// A write past the file-size limit (ulimit -f) must fail with EFBIG and be reported as a full
// disk (61), never end the program by SIGXFSZ: the programs call this as they start.
void ReportFileSizeLimitAsWriteErrors();

// The program's arguments after its own name, in UTF-8. On Windows they are read from the
// wide command line, so that Japanese file names arrive whatever the ANSI code page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 text to standard output or standard error: to a Windows console as wide
// characters, so that Japanese shows whatever the console's code page; elsewhere as UTF-8,
// with CR LF line ends on Windows. False where the write failed, with errno set where the
// system tells why.
bool WriteText(std::FILE* stream, std::string_view text);

}  // namespace platform
