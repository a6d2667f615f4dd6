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

// Runs `argv` (the program first) with no input, capturing its exit status and texts.
// `wrapper` comes before the program on the command line, for example a shell that lowers a
// limit and then runs it.
inline Result RunProgram(const test_support::ScratchFolder& folder,
                         const std::vector<std::string>& argv, const std::string& wrapper = "") {
    std::string command = wrapper;
    for (size_t i = 0; i < argv.size(); ++i)
        command += (i == 0 ? "" : " ") + Quote(argv[i]);
    const std::string outPath = folder.Path("stdout"), errPath = folder.Path("stderr");
    command += " </dev/null >" + Quote(outPath) + " 2>" + Quote(errPath);
    int raw = std::system(command.c_str());
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test_support::ReadBytes(outPath),
                  test_support::ReadBytes(errPath)};
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return result;
}

#ifdef HY3CONV_PATH
// `wrapper` as for RunProgram.
inline Result RunHy3conv(const test_support::ScratchFolder& folder,
                         const std::vector<std::string>& args, const std::string& wrapper = "") {
    std::vector<std::string> argv{HY3CONV_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(folder, argv, wrapper);
}
#endif

}  // namespace hy3conv_test
