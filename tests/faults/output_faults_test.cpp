// Real faults of the file system met while the data file is written: each must end in a
// Failed outcome with the right code, and leave the previous output, the output folder and
// the input exactly as they were.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "conversion/conversion_run.h"
#include "conversion/failure_wording.h"
#include "fault_workspace.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;
using namespace std::chrono_literals;

enum class Table {
    kOrdinary,  // 320 short rows: about 95 KB of output, written in one block
    kLarge,     // 301 rows with long names: about 1.3 MB, more than one write block
};

std::string MakeTable(Table size) {
    std::string nameTail = size == Table::kLarge ? std::string(2000 * 3, '\0') : "";
    for (size_t i = 0; i < nameTail.size(); i += 3) {
        nameTail.replace(i, 3, "駅");
    }
    std::string table;
    for (int row = 1; row <= 320; ++row) {
        table += "停留所" + std::to_string(row) + nameTail + "," + std::to_string(row % 9);
        for (int fare = 0; fare < 20; ++fare) {
            table += "," + std::to_string(140 + 10 * fare);
        }
        table += "\r\n";
    }
    return table;
}

// A previous data file the user relies on: one record with a 3-byte name.
const std::string kPreviousOutput = [] {
    std::string bytes(
        "\x01\x00\x03\x00"
        "ABC"
        "\x02\x00",
        9);
    bytes += std::string(300, '\x11');
    return bytes;
}();

struct Setting {
    Workspace& workspace;
    fs::path output;
};

// What a fault needs: `prepare` runs in the child before anything is looked at and may ask
// for a skip; `squeeze` limits the process just before the conversion and gives back what
// lifts the limit again.
struct OutputFault {
    const char* name;
    int expectedCode;
    Table table = Table::kOrdinary;
    bool previousOutput = true;
    std::function<fs::path(const Workspace&)> outputPath = [](const Workspace& workspace) {
        return workspace.outputFolder() / "table.hy3";
    };
    std::function<std::string(const Setting&)> prepare = [](const Setting&) {
        return std::string();
    };
    std::function<std::function<void()>()> squeeze = [] { return [] {}; };
};

std::function<std::function<void()>()> FileSizeLimit(rlim_t bytes) {
    return [bytes] {
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        return std::function<void()>([old] { setrlimit(RLIMIT_FSIZE, &old); });
    };
}

std::string SkipWhenSanitized(const Setting&) {
    if (kSanitized) {
        return "the sanitizers' runtime needs a pipe to check an object's type and reports a "
               "false fault in a process without descriptors; the ordinary build runs this case";
    }
    return "";
}

// Takes every file descriptor the process may still open but `spare`.
std::function<std::function<void()>()> DescriptorLimit(int spare) {
    return [spare] {
        rlimit old{};
        getrlimit(RLIMIT_NOFILE, &old);
        rlimit limited{std::min<rlim_t>(old.rlim_cur, 256), old.rlim_max};
        setrlimit(RLIMIT_NOFILE, &limited);
        std::vector<int> taken;
        while (true) {
            int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                break;
            }
            taken.push_back(fd);
        }
        for (int i = 0; i < spare && !taken.empty(); ++i) {
            close(taken.back());
            taken.pop_back();
        }
        return std::function<void()>([old, taken] {
            for (int fd : taken) {
                close(fd);
            }
            setrlimit(RLIMIT_NOFILE, &old);
        });
    };
}

std::vector<OutputFault> OutputFaults() {
    std::vector<OutputFault> faults;
    faults.push_back(
        {.name = "DiskFullFileSizeLimitZero", .expectedCode = 61, .squeeze = FileSizeLimit(0)});
    faults.push_back(
        {.name = "DiskFullPartway", .expectedCode = 61, .squeeze = FileSizeLimit(50'000)});
    faults.push_back({.name = "DiskFullWithoutPreviousOutput",
                      .expectedCode = 61,
                      .previousOutput = false,
                      .squeeze = FileSizeLimit(50'000)});
    faults.push_back({.name = "DiskFullAfterTheFirstBlock",
                      .expectedCode = 61,
                      .table = Table::kLarge,
                      .squeeze = FileSizeLimit(1'200'000)});
    faults.push_back(
        {.name = "DiskFullSmallTmpfs", .expectedCode = 61, .prepare = [](const Setting& setting) {
             std::string refused = EnterPrivateMounts();
             if (!refused.empty()) {
                 return refused;
             }
             fs::path folder = setting.workspace.outputFolder();
             if (mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
                 return Failure("this machine allows no tmpfs mount");
             }
             WriteBytes(setting.output, kPreviousOutput);
             return std::string();
         }});
    faults.push_back({.name = "OutputFolderMissing",
                      .expectedCode = 76,
                      .outputPath = [](const Workspace& workspace) {
                          return workspace.outputFolder() / "missing" / "table.hy3";
                      }});
    faults.push_back({.name = "OutputFolderIsAFile",
                      .expectedCode = 76,
                      .outputPath = [](const Workspace& workspace) {
                          return workspace.outputFolder() / "table.hy3" / "table.hy3";
                      }});
    faults.push_back({.name = "OutputIsAFolder",
                      .expectedCode = 75,
                      .outputPath = [](const Workspace& workspace) {
                          fs::path folder = workspace.outputFolder() / "folder.hy3";
                          fs::create_directories(folder);
                          WriteBytes(folder / "inside.txt", "kept");
                          return folder;
                      }});
    faults.push_back({.name = "ReadOnlyByPermissionBits",
                      .expectedCode = 70,
                      .prepare = [](const Setting& setting) {
                          if (geteuid() == 0) {
                              return std::string(
                                  "running as root, whom permission bits do not stop; the "
                                  "immutable and read-only mount cases cover root");
                          }
                          fs::permissions(setting.output, fs::perms::owner_read);
                          return std::string();
                      }});
    faults.push_back({.name = "ReadOnlyImmutableFile",
                      .expectedCode = 70,
                      .prepare = [](const Setting& setting) {
                          if (!SetImmutable(setting.output, true)) {
                              return Failure("the immutable attribute cannot be set here");
                          }
                          return std::string();
                      }});
    faults.push_back({.name = "ReadOnlyImmutableFolder",
                      .expectedCode = 70,
                      .previousOutput = false,
                      .prepare = [](const Setting& setting) {
                          if (!SetImmutable(setting.workspace.outputFolder(), true)) {
                              return Failure("the immutable attribute cannot be set here");
                          }
                          return std::string();
                      }});
    faults.push_back(
        {.name = "ReadOnlyBindMount", .expectedCode = 70, .prepare = [](const Setting& setting) {
             std::string refused = EnterPrivateMounts();
             if (!refused.empty()) {
                 return refused;
             }
             fs::path folder = setting.workspace.outputFolder();
             if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
                 mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                       nullptr) != 0) {
                 return Failure("this machine allows no read-only bind mount");
             }
             return std::string();
         }});
    faults.push_back({.name = "TooManyOpenFilesForTheInput",
                      .expectedCode = 67,
                      .prepare = SkipWhenSanitized,
                      .squeeze = DescriptorLimit(0)});
    faults.push_back({.name = "TooManyOpenFilesForTheOutput",
                      .expectedCode = 67,
                      .prepare = SkipWhenSanitized,
                      .squeeze = DescriptorLimit(1)});
    return faults;
}

// Runs in the child: sets the fault up, converts, and says what went wrong.
std::string ConvertUnderFault(const OutputFault& fault, Workspace& workspace,
                              const fs::path& output) {
    std::string refused = fault.prepare(Setting{workspace, output});
    if (!refused.empty()) {
        return std::string(kSkipPrefix) + refused;
    }
    FolderSnapshot outputBefore = Snapshot(workspace.outputFolder());
    std::string inputBefore = ReadBytes(workspace.input());

    std::function<void()> lift = fault.squeeze();
    ConversionOutcome outcome = conversion::ConvertFareTable(workspace.input(), output);
    lift();

    std::string findings;
    if (outcome.kind != ConversionOutcome::Kind::kFailed) {
        findings += "the outcome is not Failed; ";
    } else if (outcome.error->code() != fault.expectedCode) {
        findings += "code " + std::to_string(outcome.error->code()) + " (" +
                    conversion::DescriptionText(*outcome.error) + ") instead of " +
                    std::to_string(fault.expectedCode) + "; ";
    }
    std::string changes = DescribeDifference(outputBefore, Snapshot(workspace.outputFolder()));
    if (!changes.empty()) {
        findings += "the output folder changed: " + changes;
    }
    if (ReadBytes(workspace.input()) != inputBefore) {
        findings += "the input changed; ";
    }
    return findings;
}

void PrintTo(const OutputFault& fault, std::ostream* out) {
    *out << fault.name;
}

class OutputFaultTest : public testing::TestWithParam<OutputFault> {};

TEST_P(OutputFaultTest, FailsWithItsCodeAndKeepsEveryFile) {
    const OutputFault& fault = GetParam();
    Workspace workspace;
    WriteBytes(workspace.input(), MakeTable(fault.table));
    fs::path output = fault.outputPath(workspace);
    if (fault.previousOutput) {
        WriteBytes(workspace.outputFolder() / "table.hy3", kPreviousOutput);
    }

    ChildResult result =
        RunInChild([&] { return ConvertUnderFault(fault, workspace, output); }, 60s);

    ASSERT_NE(result.ending, ChildResult::Ending::kTimedOut) << "no outcome within 60 s";
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    if (result.report.starts_with(kSkipPrefix)) {
        GTEST_SKIP() << result.report.substr(kSkipPrefix.size());
    }
    EXPECT_EQ(result.report, "");
}

INSTANTIATE_TEST_SUITE_P(Output, OutputFaultTest, testing::ValuesIn(OutputFaults()),
                         [](const testing::TestParamInfo<OutputFault>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace faults
