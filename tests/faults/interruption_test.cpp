// A conversion ended by a signal at a random point, and hy3conv under a small address-space
// limit: no torn output, no temporary file left, no abort.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "child_process.h"
#include "conversion/conversion_run.h"
#include "fault_workspace.h"
#include "platform/os/output_file.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;

const std::string kOld = "OLD OUTPUT";

// 301 rows with long names: about 1.3 MB of output, several write blocks.
std::string LargeTable() {
    std::string name;
    for (int i = 0; i < 2000; ++i) {
        name += "駅";
    }
    std::string table;
    for (int row = 1; row <= 301; ++row) {
        table += name + std::to_string(row) + ",1,150,160,170\r\n";
    }
    return table;
}

struct Interruption {
    const char* name;
    bool unnamedFiles;
    std::vector<int> signals;
};

class InterruptionTest : public testing::TestWithParam<Interruption> {};

TEST_P(InterruptionTest, LeavesTheOldOrTheWholeNewOutputAndNothingElse) {
    const Interruption& setting = GetParam();
    Workspace workspace;
    WriteBytes(workspace.input(), LargeTable());
    fs::path output = workspace.outputFolder() / "table.hy3";
    ASSERT_EQ(conversion::ConvertFareTable(workspace.input(), output).kind,
              ConversionOutcome::Kind::kSucceeded);
    const std::string converted = ReadBytes(output);

    std::mt19937 random(12345);
    for (int trial = 0; trial < 30; ++trial) {
        int signal = setting.signals[trial % setting.signals.size()];
        WriteBytes(output, kOld);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            conversion::ConversionOptions options;
            options.outputSeams.unnamedFiles = setting.unnamedFiles;
            while (conversion::ConvertFareTableWith(workspace.input(), output, options).kind ==
                   ConversionOutcome::Kind::kSucceeded) {
            }
            _exit(3);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 150'000)(random));
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "trial " << trial << ": the child did not end by " << strsignal(signal);
        FolderSnapshot after = Snapshot(workspace.outputFolder());
        ASSERT_EQ(after.size(), 1u) << "trial " << trial << ", " << strsignal(signal) << ": "
                                    << DescribeDifference({{"table.hy3", ""}}, after);
        const std::string& bytes = after.begin()->second;
        ASSERT_TRUE(bytes == kOld || bytes == converted)
            << "trial " << trial << ": a torn output of " << bytes.size() << " bytes";
    }
}

// A kill -9 leaves a named temporary file where the file system offers no unnamed one;
// the named fallback is tried with the signals a handler can catch.
INSTANTIATE_TEST_SUITE_P(
    Signals, InterruptionTest,
    testing::Values(Interruption{"UnnamedFile", true, {SIGINT, SIGTERM, SIGHUP, SIGKILL}},
                    Interruption{"NamedFallback", false, {SIGINT, SIGTERM, SIGHUP}}),
    [](const auto& info) { return std::string(info.param.name); });

// A signal the moment a temporary name is on disk, before anything else runs: the file is
// still removed. Unnamed files get a name only at the end, where an old output is replaced.
TEST(SignalAtATemporaryName, LeavesNothingBehind) {
    for (bool unnamedFiles : {false, true}) {
        Workspace workspace;
        WriteBytes(workspace.input(), "a,1,150\r\n");
        fs::path output = workspace.outputFolder() / "table.hy3";
        WriteBytes(output, kOld);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            conversion::ConversionOptions options;
            options.outputSeams.unnamedFiles = unnamedFiles;
            options.outputSeams.namedTemporary = [] { kill(getpid(), SIGTERM); };
            conversion::ConvertFareTableWith(workspace.input(), output, options);
            _exit(3);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
            << "unnamed files " << unnamedFiles << ": the child did not end by the signal";
        FolderSnapshot after = Snapshot(workspace.outputFolder());
        EXPECT_EQ(after, (FolderSnapshot{{"table.hy3", kOld}}))
            << "unnamed files " << unnamedFiles << ": "
            << DescribeDifference({{"table.hy3", kOld}}, after);
    }
}

// Out of memory at any point, even before the conversion starts, ends in status 1 and a
// message; never a signal. Below about 6 MB the loader itself cannot map the program.
TEST(AddressSpaceLimit, Hy3convReportsInsteadOfAborting) {
    if (kSanitized) {
        GTEST_SKIP() << "AddressSanitizer reserves terabytes of shadow memory: no address-space "
                        "limit leaves it room to start";
    }
    Workspace workspace;
    WriteBytes(workspace.input(), LargeTable());
    fs::path output = workspace.outputFolder() / "table.hy3";
    fs::path messages = workspace.root() / "stderr.txt";
    for (rlim_t megabytes : {6, 7, 8, 10, 12, 16, 24, 32, 48, 64}) {
        WriteBytes(output, kOld);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int err = open(messages.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(err, STDERR_FILENO);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            rlimit limit{megabytes << 20, megabytes << 20};
            setrlimit(RLIMIT_AS, &limit);
            execl(HY3CONV_PATH, HY3CONV_PATH, workspace.input().c_str(), output.c_str(), nullptr);
            _exit(126);
        }
        int status = 0;
        waitpid(child, &status, 0);
        std::string text = ReadBytes(messages);
        ASSERT_TRUE(WIFEXITED(status))
            << megabytes << " MB: ended by signal " << strsignal(WTERMSIG(status)) << ": " << text;
        int code = WEXITSTATUS(status);
        if (code == 127 && text.find("error while loading shared libraries") != std::string::npos) {
            continue;  // the program never started
        }
        ASSERT_TRUE(code == 0 || code == 1) << megabytes << " MB: status " << code << ": " << text;
        std::string bytes = ReadBytes(output);
        if (code == 1) {
            // The failure follows "hy3conv: " and, where a file is to blame, "FILE: ".
            if (text.starts_with("hy3conv: ")) {
                text.erase(0, 9);
            }
            if (!text.empty() && (text[0] < '0' || text[0] > '9')) {
                const size_t at = text.find(": ");
                text.erase(0, at == std::string::npos ? 0 : at + 2);
            }
            // 7: out of memory; 51: iconv could not load its converter for want of memory;
            // 5x to 7x: a file error.
            EXPECT_TRUE(text.starts_with("7:") || text.starts_with("51:") ||
                        (text.size() > 3 && text[2] == ':' && text[0] >= '5' && text[0] <= '7'))
                << megabytes << " MB: " << text;
            EXPECT_EQ(bytes, kOld) << megabytes << " MB: the old output changed after a failure";
        }
        EXPECT_EQ(Snapshot(workspace.outputFolder()).size(), 1u) << megabytes << " MB";
    }
}

}  // namespace
}  // namespace faults
