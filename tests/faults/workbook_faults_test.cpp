// The workbooks hy3conv writes (--to-sheet, and the template as .xlsx) under real faults: a
// full temporary folder, a full output medium, a file-size limit. A workbook is written whole
// or not at all: a failure is a numbered error and the old file stays byte for byte.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "../programs/hy3conv_run.h"
#include "child_process.h"
#include "fault_workspace.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kOldWorkbook = "the old workbook";

// Mounts a tmpfs on `folder` and fills it to the last byte.
std::string MountFullTmpfs(const fs::path& folder, const std::string& keep = "") {
    if (mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=256k") != 0) {
        return Failure("this machine allows no tmpfs mount");
    }
    if (!keep.empty()) {
        WriteBytes(folder / keep, kOldWorkbook);
    }
    std::ofstream filler(folder / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size())) {
    }
    return "";
}

enum class Fault { kFullTemporaryFolder, kFullOutputMedium, kFileSizeLimit };

struct Case {
    const char* name;
    Fault fault;
    std::vector<std::string> command;  // before the output's path
    bool written;                      // whether the workbook is written all the same
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class WorkbookFaultTest : public testing::TestWithParam<Case> {};

// Runs the case in a child of its own (mounts and limits stay there); "" where it went as it
// should, else what went wrong.
std::string RunCase(const Case& c, const test_support::ScratchFolder& folder) {
    const fs::path out = folder.Root() / "out";
    const fs::path temporary = folder.Root() / "tmp";
    fs::create_directories(out);
    fs::create_directories(temporary);
    const std::string data = folder.Path("table.hy3");
    std::string wrapper = "TMPDIR=" + hy3conv_test::Quote(temporary.string()) + " ";
    if (c.fault != Fault::kFileSizeLimit) {
        if (std::string refused = EnterPrivateMounts(); !refused.empty()) {
            return std::string(kSkipPrefix) + refused;
        }
    }
    std::string refused;
    switch (c.fault) {
        case Fault::kFullTemporaryFolder:
            refused = MountFullTmpfs(temporary);
            WriteBytes(out / "book.xlsx", kOldWorkbook);
            break;
        case Fault::kFullOutputMedium:
            refused = MountFullTmpfs(out, "book.xlsx");
            break;
        case Fault::kFileSizeLimit:
            WriteBytes(out / "book.xlsx", kOldWorkbook);
            wrapper = "sh -c 'ulimit -f 2; exec \"$0\" \"$@\"' ";
            break;
    }
    if (!refused.empty()) {
        return std::string(kSkipPrefix) + refused;
    }
    std::vector<std::string> args = c.command;
    if (args[0] == "--to-sheet") {
        args.push_back(data);
    }
    args.push_back((out / "book.xlsx").string());
    const hy3conv_test::Result result = hy3conv_test::RunHy3conv(folder, args, wrapper);
    const std::string book = ReadBytes(out / "book.xlsx");
    std::string report;
    if (c.written) {
        if (result.status != 0 || !book.starts_with("PK")) {
            report = "not written (status " + std::to_string(result.status) + "): " + result.err;
        } else if (args[0] == "--to-sheet" &&
                   (hy3conv_test::RunHy3conv(
                        folder, {(out / "book.xlsx").string(), folder.Path("again.hy3")})
                            .status != 0 ||
                    ReadBytes(folder.Path("again.hy3")) != ReadBytes(data))) {
            report = "the workbook does not convert back to the same data file";
        }
    } else if (result.status != 1 || result.err.find(": 61:") == std::string::npos) {
        report = "status " + std::to_string(result.status) + ", not 1 with 61: " + result.err;
    } else if (book != kOldWorkbook) {
        report = "the old workbook was changed";
    }
    return report;
}

TEST_P(WorkbookFaultTest, WritesWholeOrKeepsTheOldFile) {
    test_support::ScratchFolder folder;
    std::string table;
    for (int row = 1; row <= 301; ++row) {
        table += "停留所" + std::to_string(row) + "," + std::to_string(row % 9) +
                 test_support::Repeat(",150", 150) + "\r\n";
    }
    WriteBytes(folder.Path("table.txt"), table);
    ASSERT_EQ(hy3conv_test::RunHy3conv(folder, {folder.Path("table.txt"), folder.Path("table.hy3")})
                  .status,
              0);
    const ChildResult result = RunInChild([&] { return RunCase(GetParam(), folder); }, 60s);
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    if (result.report.starts_with(kSkipPrefix)) {
        GTEST_SKIP() << result.report.substr(kSkipPrefix.size());
    }
    EXPECT_EQ(result.report, "");
}

// The library's scratch files go beside the output, so a full temporary folder is no fault.
INSTANTIATE_TEST_SUITE_P(
    Workbook, WorkbookFaultTest,
    testing::Values(
        Case{"SheetFullTemporaryFolder", Fault::kFullTemporaryFolder, {"--to-sheet"}, true},
        Case{"TemplateFullTemporaryFolder", Fault::kFullTemporaryFolder, {"--template"}, true},
        Case{"SheetFullOutputMedium", Fault::kFullOutputMedium, {"--to-sheet"}, false},
        Case{"TemplateFullOutputMedium", Fault::kFullOutputMedium, {"--template"}, false},
        Case{"SheetFileSizeLimit", Fault::kFileSizeLimit, {"--to-sheet"}, false},
        Case{"TemplateFileSizeLimit", Fault::kFileSizeLimit, {"--template"}, false}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace faults
