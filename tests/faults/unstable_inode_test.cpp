// A FAT image mounted through FUSE, whose inode numbers last only while the file system
// remembers a file, as on kernel FAT and exFAT: the caches dropped between the check and the
// rename must not pass for a swapped output, and a real swap must still be caught.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "child_process.h"
#include "conversion/conversion_run.h"
#include "conversion/failure_wording.h"
#include "fault_workspace.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;
using namespace std::chrono_literals;

const std::string kTable = "停留所,1,150,160\r\n";
const std::string kOld = "OLD OUTPUT";
const std::string kOtherProgram = "WRITTEN BY ANOTHER PROGRAM";

// Makes the kernel forget every file it does not hold: FUSE then numbers them anew.
bool DropCaches() {
    std::ofstream caches("/proc/sys/vm/drop_caches");
    caches << "2\n";
    caches.close();
    return static_cast<bool>(caches);
}

std::string MountFatImage(const Workspace& workspace, const fs::path& point) {
    if (geteuid() != 0 || access("/dev/fuse", R_OK | W_OK) != 0) {
        return "mounting a FAT image through FUSE needs root and /dev/fuse";
    }
    if (std::system("command -v fusefat >/dev/null && command -v mkfs.vfat >/dev/null") != 0) {
        return "fusefat and mkfs.vfat are not installed (packages fusefat, dosfstools)";
    }
    std::string refused = EnterPrivateMounts();
    if (!refused.empty()) {
        return refused;
    }
    const fs::path image = workspace.root() / "fat.img";
    fs::create_directory(point);
    const std::string make = "truncate -s 8M " + image.string() + " && mkfs.vfat " +
                             image.string() + " >/dev/null && fusefat -o rw+ " + image.string() +
                             " " + point.string() + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) {
        return "the FAT image cannot be mounted through FUSE here";
    }
    return "";
}

struct CacheDrop {
    const char* name;
    bool swapped;  // another program puts a file of its own at the output first
};

class UnstableInodeTest : public testing::TestWithParam<CacheDrop> {};

TEST_P(UnstableInodeTest, ForgottenNumbersAreNoSwapButASwapIsCaught) {
    const CacheDrop& drop = GetParam();
    Workspace workspace;
    WriteBytes(workspace.input(), kTable);
    const fs::path expected = workspace.root() / "expected.hy3";
    ASSERT_EQ(conversion::ConvertFareTable(workspace.input(), expected).kind,
              ConversionOutcome::Kind::kSucceeded);

    ChildResult result = RunInChild(
        [&]() -> std::string {
            const fs::path point = workspace.root() / "card";
            std::string refused = MountFatImage(workspace, point);
            if (!refused.empty()) {
                return std::string(kSkipPrefix) + refused;
            }
            const fs::path output = point / "table.hy3";
            WriteBytes(output, kOld);
            bool dropped = true;
            conversion::ConversionOptions options;
            options.outputSeams.beforeRename = [&] {
                if (drop.swapped) {
                    fs::remove(output);
                    WriteBytes(output, kOtherProgram);
                }
                dropped = DropCaches();
            };
            ConversionOutcome outcome =
                conversion::ConvertFareTableWith(workspace.input(), output, options);
            std::string findings;
            if (!dropped) {
                findings = std::string(kSkipPrefix) + "the caches cannot be dropped here";
            } else if (!drop.swapped && (outcome.kind != ConversionOutcome::Kind::kSucceeded ||
                                         ReadBytes(output) != ReadBytes(expected))) {
                findings = "the conversion did not replace the old file";
            } else if (drop.swapped &&
                       (!outcome.error || outcome.error->code() != 75 ||
                        conversion::ExplanationText(*outcome.error).find("ほかのプログラム") ==
                            std::string::npos ||
                        ReadBytes(output) != kOtherProgram)) {
                findings = "the swap was not caught and told";
            }
            umount2(point.c_str(), MNT_DETACH);
            return findings;
        },
        60s);
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    if (result.report.starts_with(kSkipPrefix)) {
        GTEST_SKIP() << result.report.substr(kSkipPrefix.size());
    }
    EXPECT_EQ(result.report, "");
}

INSTANTIATE_TEST_SUITE_P(FuseFat, UnstableInodeTest,
                         testing::Values(CacheDrop{"CachesDropped", false},
                                         CacheDrop{"SwappedAndCachesDropped", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace faults
