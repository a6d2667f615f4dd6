// Runs the built hy3conv program as a user would, capturing its exit status and texts.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

namespace hy3conv_test {

struct Result {
    int status;
    std::string out;
    std::string err;
};

inline std::string Quote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// `wrapper` comes before the program on the command line, for example a shell that lowers a
// limit and then runs it.
inline Result RunHy3conv(const test_support::ScratchFolder& folder,
                         const std::vector<std::string>& args, const std::string& wrapper = "") {
    std::string command = wrapper + Quote(HY3CONV_PATH);
    for (const auto& arg : args)
        command += " " + Quote(arg);
    const std::string outPath = folder.Path("stdout"), errPath = folder.Path("stderr");
    command += " </dev/null >" + Quote(outPath) + " 2>" + Quote(errPath);
    int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test_support::ReadBytes(outPath),
                  test_support::ReadBytes(errPath)};
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

}  // namespace hy3conv_test
