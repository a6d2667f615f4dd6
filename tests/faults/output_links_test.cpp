// Links at the output path, a swap of the output for a link to the input just before the
// rename, and the longest legal output path, each converted in a child process.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "child_process.h"
#include "conversion/conversion_run.h"
#include "fault_workspace.h"
#include "platform/os/output_file.h"
#include "test_support.h"

namespace faults {
namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;
using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;
const std::string kOld = "OLD OUTPUT";
const std::string kTable = "停留所,1,150,160\r\n";

std::string OutcomeFindings(const ConversionOutcome& outcome, int expectedCode) {
    if (expectedCode == 0) {
        return outcome.kind == ConversionOutcome::Kind::kSucceeded ? "" : "not Succeeded; ";
    }
    if (outcome.kind != ConversionOutcome::Kind::kFailed) {
        return "not Failed; ";
    }
    int code = outcome.error->code();
    return code == expectedCode ? "" : "code " + std::to_string(code) + "; ";
}

void ExpectChildReportsNothing(const std::function<std::string()>& work) {
    ChildResult result = RunInChild(work, 60s);
    ASSERT_EQ(result.ending, ChildResult::Ending::kReported) << result.report;
    if (result.report.starts_with(kSkipPrefix)) {
        GTEST_SKIP() << result.report.substr(kSkipPrefix.size());
    }
    EXPECT_EQ(result.report, "");
}

// A link in a shared sticky folder, aiming at a file in a folder only root may enter.
struct PlantedLink {
    const char* name;
    uid_t folderOwner;
    bool sticky;
    uid_t linkOwner;
    bool followed;
};

class PlantedLinkTest : public testing::TestWithParam<PlantedLink> {};

TEST_P(PlantedLinkTest, IsFollowedOnlyAsTheKernelWould) {
    const PlantedLink& link = GetParam();
    Workspace workspace;
    ExpectChildReportsNothing([&]() -> std::string {
        if (geteuid() != 0) {
            return std::string(kSkipPrefix) + "giving a link to another user needs root";
        }
        WriteBytes(workspace.input(), kTable);
        fs::path shared = workspace.root() / "shared", secret = workspace.root() / "private";
        fs::create_directory(shared);
        fs::create_directory(secret);
        chmod(secret.c_str(), 0700);
        chmod(shared.c_str(), link.sticky ? 01777 : 0777);
        if (chown(shared.c_str(), link.folderOwner, 0) != 0) {
            return "chown of the folder failed";
        }
        WriteBytes(secret / "target.hy3", kOld);
        fs::path output = shared / "table.hy3";
        fs::create_symlink(secret / "target.hy3", output);
        if (lchown(output.c_str(), link.linkOwner, 0) != 0) {
            return "lchown of the link failed";
        }
        std::string findings = OutcomeFindings(
            conversion::ConvertFareTable(workspace.input(), output), link.followed ? 0 : 70);
        if ((ReadBytes(secret / "target.hy3") == kOld) == link.followed) {
            findings += link.followed ? "the target was not replaced; " : "the target changed; ";
        }
        if (!fs::is_symlink(output) ||
            std::distance(fs::directory_iterator(shared), fs::directory_iterator()) != 1) {
            findings += "the shared folder holds more than the link; ";
        }
        return findings;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Links, PlantedLinkTest,
    testing::Values(PlantedLink{"OtherUsersLinkInStickyFolder", 0, true, kNobody, false},
                    PlantedLink{"OwnLinkInStickyFolder", 0, true, 0, true},
                    PlantedLink{"FolderOwnersLinkInStickyFolder", kNobody, true, kNobody, true},
                    PlantedLink{"OtherUsersLinkInOrdinaryFolder", 0, false, kNobody, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Dangling links create their target as `>` does; loops fail with 75 and stay as they were.
struct LinkShape {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // name in the folder -> target
    int expectedCode;
    const char* created;  // the file the conversion must make, if any
};

class LinkShapeTest : public testing::TestWithParam<LinkShape> {};

TEST_P(LinkShapeTest, FollowsOrFails) {
    const LinkShape& shape = GetParam();
    Workspace workspace;
    ExpectChildReportsNothing([&]() -> std::string {
        WriteBytes(workspace.input(), kTable);
        fs::path folder = workspace.outputFolder();
        for (const auto& [name, target] : shape.links) {
            fs::create_symlink(target, folder / name);
        }
        std::string findings = OutcomeFindings(
            conversion::ConvertFareTable(workspace.input(), folder / shape.links[0].first),
            shape.expectedCode);
        for (const auto& [name, target] : shape.links) {
            if (!fs::is_symlink(folder / name) || fs::read_symlink(folder / name) != target) {
                findings += name + " is no longer the same link; ";
            }
        }
        size_t expectedEntries = shape.links.size() + (shape.created ? 1 : 0);
        size_t entries = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
        if (entries != expectedEntries) {
            findings += std::to_string(entries) + " entries in the folder; ";
        }
        if (shape.created && !fs::is_regular_file(fs::symlink_status(folder / shape.created))) {
            findings += std::string(shape.created) + " was not created; ";
        }
        return findings;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkShapeTest,
    testing::Values(LinkShape{"Dangling", {{"table.hy3", "new.hy3"}}, 0, "new.hy3"},
                    LinkShape{"DanglingThroughTwoLinks",
                              {{"table.hy3", "middle.hy3"}, {"middle.hy3", "new.hy3"}},
                              0,
                              "new.hy3"},
                    LinkShape{"LoopOfTwo", {{"a.hy3", "b.hy3"}, {"b.hy3", "a.hy3"}}, 75, nullptr},
                    LinkShape{"LoopOnItself", {{"a.hy3", "a.hy3"}}, 75, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputSwappedBeforeRename, ForALinkToTheInputLeavesTheInputAlone) {
    Workspace workspace;
    ExpectChildReportsNothing([&]() -> std::string {
        WriteBytes(workspace.input(), kTable);
        fs::path output = workspace.outputFolder() / "table.hy3";
        WriteBytes(output, kOld);
        conversion::ConversionOptions options;
        options.outputSeams.beforeRename = [&] {
            fs::remove(output);
            fs::create_symlink(workspace.input(), output);
        };
        std::string findings = OutcomeFindings(
            conversion::ConvertFareTableWith(workspace.input(), output, options), 75);
        if (ReadBytes(workspace.input()) != kTable) {
            findings += "the input changed; ";
        }
        if (!fs::is_symlink(output)) {
            findings += "the swapped-in link was replaced; ";
        }
        return findings;
    });
}

TEST(LongestOutputPath, OfAbout4090BytesIsWritten) {
    Workspace workspace;
    ExpectChildReportsNothing([&]() -> std::string {
        WriteBytes(workspace.input(), kTable);
        fs::path folder = workspace.outputFolder();
        while (folder.string().size() < 3800) {
            folder /= std::string(200, 'd');
            fs::create_directory(folder);
        }
        std::string output = folder.string() + "/";
        output += std::string(4090 - output.size() - 4, 'f') + ".hy3";
        std::string findings =
            OutcomeFindings(conversion::ConvertFareTable(workspace.input(), output), 0);
        if (findings.empty() && ReadBytes(output).size() != 2 + 2 + 6 + 2 + 300) {
            findings += "the output does not hold the one row; ";
        }
        return findings;
    });
}

}  // namespace
}  // namespace faults
