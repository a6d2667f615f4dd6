#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "conversion/failure_wording.h"
#include "conversion_run_fixture.h"
#include "template/text/template_text.h"
#include "test_support.h"

// The conversion use case against paths that are not plain files: folders, pipes, devices,
// missing folders, read-only outputs.
namespace {

namespace fs = std::filesystem;
using conversion::ConversionOutcome;
using conversion::ConvertFareTable;
using conversion_test::ConversionRunTest;
using conversion_test::Describe;
using conversion_test::NamesIn;
using conversion_test::NumberedRows;
using Kind = ConversionOutcome::Kind;
using test_support::Hex;
using test_support::Hy3;
using test_support::ReadBytes;
using test_support::WriteBytes;

struct PathCase {
    std::string label;
    // Paths inside the scratch folder, which holds in.txt (a table), out.hy3 (a previous
    // output) and dir/ with links to both, a hard link to in.txt and a FIFO. A path that starts
    // with "/" is used as it is; one that starts with "rel:" is made relative to the current
    // folder.
    std::string input, output;
    int code;
    std::string description;
    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }
};

class ConversionRunPathTest : public ConversionRunTest,
                              public ::testing::WithParamInterface<PathCase> {
  protected:
    std::string Resolve(const std::string& path) {
        if (path.empty() || path.starts_with("/"))
            return path;
        if (path.starts_with("rel:"))
            return fs::relative(folder_.Path(path.substr(4))).string();
        return folder_.Root().string() + "/" + path;  // keeps a NUL character in the name
    }
};

TEST_P(ConversionRunPathTest, FailsWithoutTouchingAnything) {
    const std::string input(template_text::TemplateText());
    WriteBytes(in_, input);
    WriteBytes(out_, "OLD");
    fs::create_directory(folder_.Path("dir"));
    fs::create_symlink(in_, folder_.Path("dir/in-link"));
    fs::create_symlink(out_, folder_.Path("dir/out-link"));
    fs::create_hard_link(in_, folder_.Path("dir/in-hard"));
    ASSERT_EQ(mkfifo(folder_.Path("dir/pipe").c_str(), 0600), 0);
    const auto names = folder_.Names();
    const auto namesInDir = NamesIn(folder_.Path("dir"));

    ConversionOutcome outcome =
        ConvertFareTable(Resolve(GetParam().input), Resolve(GetParam().output));
    ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
    EXPECT_EQ(outcome.error->code(), GetParam().code);
    EXPECT_EQ(conversion::DescriptionText(*outcome.error), GetParam().description);
    EXPECT_EQ(ReadBytes(in_), input);
    EXPECT_EQ(ReadBytes(out_), "OLD");
    EXPECT_EQ(folder_.Names(), names);
    EXPECT_EQ(NamesIn(folder_.Path("dir")), namesInDir);
    EXPECT_TRUE(fs::is_fifo(folder_.Path("dir/pipe")));
}

const std::string kBadName = "ファイル名または番号が不正です。";
const std::string kNoFile = "ファイルが見つかりません。";
const std::string kNoPath = "パスが見つかりません。";
const std::string kBadPath = "パス名が無効です。";
const std::string kSameFile = "変換元と変換先が同じファイルです。";

INSTANTIATE_TEST_SUITE_P(
    Cases, ConversionRunPathTest,
    ::testing::Values(
        PathCase{"MissingInput", "none.txt", "new.hy3", 53, kNoFile},
        PathCase{"MissingInputFolder", "none/in.txt", "new.hy3", 76, kNoPath},
        PathCase{"EmptyInputPath", "", "new.hy3", 52, kBadName},
        PathCase{"EmptyOutputPath", "in.txt", "", 52, kBadName},
        PathCase{"NulInInputPath", std::string("in.txt\0x", 8), "new.hy3", 52, kBadName},
        PathCase{"NulInOutputPath", "in.txt", std::string("new.hy3\0", 8), 52, kBadName},
        PathCase{"InputIsAFolder", "dir", "new.hy3", 75, kBadPath},
        PathCase{"InputIsADevice", "/dev/null", "new.hy3", 75, kBadPath},
        PathCase{"OutputIsAFolder", "in.txt", "dir", 75, kBadPath},
        PathCase{"OutputIsAFifo", "in.txt", "dir/pipe", 75, kBadPath},
        PathCase{"MissingOutputFolder", "in.txt", "none/new.hy3", 76, kNoPath},
        PathCase{"OutputFolderIsAFile", "in.txt", "out.hy3/new.hy3", 76, kNoPath},
        // The same file by any spelling: nothing is written, the input stays.
        PathCase{"SamePath", "in.txt", "in.txt", 75, kSameFile},
        PathCase{"SameFileWithDot", "in.txt", "./in.txt", 75, kSameFile},
        PathCase{"SameFileWithDotDot", "dir/../in.txt", "in.txt", 75, kSameFile},
        PathCase{"SameFileRelative", "in.txt", "rel:in.txt", 75, kSameFile},
        PathCase{"OutputSymlinkToInput", "in.txt", "dir/in-link", 75, kSameFile},
        PathCase{"InputSymlinkToOutput", "dir/out-link", "out.hy3", 75, kSameFile},
        PathCase{"HardLinkToInput", "in.txt", "dir/in-hard", 75, kSameFile}),
    [](const auto& info) { return info.param.label; });

TEST_F(ConversionRunTest, FifoInputFailsInsteadOfWaiting) {
    WriteBytes(out_, "OLD");
    const std::string fifo = folder_.Path("pipe.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    // Should the conversion wait for a writer, open one after a while so the test ends.
    std::atomic<bool> done = false;
    std::atomic<bool> hadToUnblock = false;
    std::thread rescuer([&] {
        for (int i = 0; i < 300 && !done; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (done)
            return;
        int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            hadToUnblock = true;
            close(fd);
        }
    });
    ConversionOutcome outcome = ConvertFareTable(fifo, out_);
    done = true;
    rescuer.join();

    EXPECT_FALSE(hadToUnblock) << "the conversion waited on a FIFO";
    ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
    EXPECT_EQ(outcome.error->code(), 75);
    EXPECT_EQ(ReadBytes(out_), "OLD");
}

// A file that another program keeps appending to is read only as far as the table needs.
TEST_F(ConversionRunTest, GrowingInputIsNotReadForAsLongAsItGrows) {
    struct GrowingCase {
        const char* label;
        std::string start;
        std::optional<Kind> kind;  // unset: any end will do, as long as there is one
    };
    for (const GrowingCase& c :
         {GrowingCase{"BlankLineEndsTheTable", "a,1\r\n\r\n", Kind::kSucceeded},
          GrowingCase{"FirstLineBlank", "\r\n", Kind::kNothingToConvert},
          GrowingCase{"NoBlankLine", "a,1\r\n", std::nullopt}}) {
        WriteBytes(in_, c.start);
        pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // Appends rows for at most 30 seconds, should the conversion never end.
            int fd = open(in_.c_str(), O_WRONLY | O_APPEND);
            const std::string rows = NumberedRows(1000);
            for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
                 fd >= 0 && std::chrono::steady_clock::now() < end;) {
                if (write(fd, rows.data(), rows.size()) < 0)
                    break;
            }
            _exit(0);
        }
        auto start = std::chrono::steady_clock::now();
        ConversionOutcome outcome = ConvertFareTable(in_, out_);
        auto took = std::chrono::steady_clock::now() - start;
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        if (c.kind) {
            EXPECT_EQ(outcome.kind, *c.kind) << c.label << ": " << Describe(outcome);
        }
        // A table that never ends is cut at 301 rows or line 32768, or found to have grown.
        if (outcome.kind == Kind::kFailed) {
            EXPECT_TRUE(outcome.error->code() == 6 || outcome.error->code() == 9) << c.label;
        }
        EXPECT_LT(took, std::chrono::seconds(20)) << c.label;
        if (c.kind == Kind::kSucceeded) {
            EXPECT_EQ(Hex(ReadBytes(out_)), Hex(Hy3({{"a", 1, {}}}))) << c.label;
        }
    }
}

TEST_F(ConversionRunTest, InputThatBlocksOnReadingFailsInsteadOfWaiting) {
    if (geteuid() != 0 || access("/proc/kmsg", R_OK) != 0)
        GTEST_SKIP() << "/proc/kmsg, which blocks once read to its end, needs root to read";
    WriteBytes(out_, "OLD");
    ConversionOutcome outcome = ConvertFareTable("/proc/kmsg", out_);
    ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
    EXPECT_EQ(outcome.error->code(), 75);
    EXPECT_EQ(ReadBytes(out_), "OLD");
}

TEST_F(ConversionRunTest, ReadOnlyOutputFailsWith70) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write read-only files; run as a user to test";
    WriteBytes(out_, "OLD");
    ASSERT_EQ(chmod(out_.c_str(), 0444), 0);
    ConversionOutcome outcome = Convert("a,1");
    ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
    EXPECT_EQ(outcome.error->code(), 70);
    EXPECT_EQ(conversion::DescriptionText(*outcome.error), "書き込みできません。");
    EXPECT_EQ(ReadBytes(out_), "OLD");
    EXPECT_EQ(test_support::PermissionBits(out_), 0444u);
}

TEST_F(ConversionRunTest, ReadOnlyOutputFolderFailsWith70) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write read-only folders; run as a user to test";
    const std::string folder = folder_.Path("locked");
    fs::create_directory(folder);
    WriteBytes(folder + "/out.hy3", "OLD");
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    WriteBytes(in_, "a,1");
    ConversionOutcome outcome = ConvertFareTable(in_, folder + "/out.hy3");
    ASSERT_EQ(outcome.kind, Kind::kFailed) << Describe(outcome);
    EXPECT_EQ(outcome.error->code(), 70);
    EXPECT_EQ(ReadBytes(folder + "/out.hy3"), "OLD");
}

// ---------------------------------------------------------------------------------------
// The status texts.

}  // namespace
