// Runs the built hy3conv program under the limits a system may set: a closed standard
// output, too few file descriptors.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hy3conv_run.h"
#include "test_support.h"

namespace {

using hy3conv_test::Result;
using hy3conv_test::RunHy3conv;
using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(Hy3conv, ReportsAClosedStandardOutput) {
    test_support::ScratchFolder folder;
    WriteBytes(folder.Path("in.csv"), "a,1,140\n");
    const std::vector<std::vector<std::string>> commands = {
        {"--version"}, {folder.Path("in.csv"), folder.Path("out.hy3")}};
    for (const auto& command : commands) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        close(pipeEnds[0]);
        const std::string errPath = folder.Path("stderr");
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(pipeEnds[1], STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(HY3CONV_PATH)};
            for (const auto& arg : command)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(HY3CONV_PATH, argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(ReadBytes(errPath),
                  "hy3conv: 標準出力に書き込めませんでした（読み取る側が閉じています）。"
                  "表示の一部または全部が失われています。\n");
    }
    EXPECT_EQ(ReadBytes(folder.Path("out.hy3")).size(), 2 + 305u);
}

// With too few file descriptors the run fails with 67, and the message names the file that
// its explanation blames, whichever file it was working on when the descriptors ran out.
TEST(Hy3convDescriptorLimit, NamesTheFileItsExplanationBlames) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime needs a descriptor to check an object's type and "
                    "reports a false fault in a process without any; the ordinary build runs this";
#endif
    test_support::ScratchFolder folder;
    const std::string in = folder.Path("in.txt"), out = folder.Path("out.hy3");
    WriteBytes(in, "a,1,140\r\n");
    int failures = 0;
    for (int limit = 4; limit <= 8; ++limit) {
        // The limit is set in a shell of its own, after the redirections of the outer one,
        // with the descriptors the test runner may have passed on closed.
        Result result = RunHy3conv(folder, {in, out},
                                   "sh -c 'exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; ulimit -n " +
                                       std::to_string(limit) + "; exec \"$0\" \"$@\"' ");
        // 127: too few even to load the program's libraries.
        if (result.status == 0 || result.status == 127) {
            continue;
        }
        ++failures;
        EXPECT_EQ(result.status, 1) << "limit " << limit << ": " << result.err;
        const bool blamesInput = result.err.find("変換元（入力ファイル）") != std::string::npos;
        const bool blamesOutput = result.err.find("変換先（出力ファイル）") != std::string::npos;
        ASSERT_TRUE(blamesInput != blamesOutput) << "limit " << limit << ": " << result.err;
        EXPECT_EQ(result.err.rfind("hy3conv: " + (blamesInput ? in : out) + ": 67:", 0), 0u)
            << "limit " << limit << ": " << result.err;
    }
    EXPECT_GT(failures, 0) << "no limit was low enough to fail";
}

// A workbook is opened once and read from that handle, as a text is: under every limit of
// descriptors it converts, or fails, exactly as the same table in a text does.
TEST(Hy3convDescriptorLimit, AWorkbookNeedsNoMoreThanAText) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' runtime needs descriptors of its own";
#endif
    test_support::ScratchFolder folder;
    const std::string text = folder.Path("in.txt"), book = folder.Path("in.xlsx");
    WriteBytes(text, "a,1,140\r\nb,2,160\r\n");
    ASSERT_EQ(RunHy3conv(folder, {text, folder.Path("ref.hy3")}).status, 0);
    ASSERT_EQ(RunHy3conv(folder, {"--to-sheet", folder.Path("ref.hy3"), book}).status, 0);
    for (int limit = 4; limit <= 8; ++limit) {
        const std::string shell = "sh -c 'exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; ulimit -n " +
                                  std::to_string(limit) + "; exec \"$0\" \"$@\"' ";
        std::remove(folder.Path("text.hy3").c_str());
        std::remove(folder.Path("book.hy3").c_str());
        const Result fromText = RunHy3conv(folder, {text, folder.Path("text.hy3")}, shell);
        const Result fromBook = RunHy3conv(folder, {book, folder.Path("book.hy3")}, shell);
        EXPECT_EQ(fromBook.status, fromText.status) << "limit " << limit << ": " << fromBook.err;
    }
}

// Under a file-size limit (ulimit -f) the workbook commands fail with 61 and keep the old
// workbook byte for byte: the limit is an error, never the end of the program, and a book the
// library could not finish is never taken for written.
TEST(Hy3convFileSizeLimit, WorkbooksFailWithDiskFullAndKeepTheOldFile) {
    test_support::ScratchFolder folder;
    const std::string text = folder.Path("in.txt"), data = folder.Path("in.hy3");
    std::string table;
    for (int row = 1; row <= 301; ++row) {
        table += "停留所" + std::to_string(row) + "," + std::to_string(row % 9) +
                 test_support::Repeat(",150", 150) + "\r\n";
    }
    WriteBytes(text, table);
    ASSERT_EQ(RunHy3conv(folder, {text, data}).status, 0);
    const std::string old = "the old workbook";
    const std::string limited = "sh -c 'ulimit -f 8; exec \"$0\" \"$@\"' ";
    const std::vector<std::vector<std::string>> commands = {
        {"--to-sheet", data, folder.Path("out.xlsx")},
        {"--template", folder.Path("out.xlsx")},
    };
    for (const std::vector<std::string>& command : commands) {
        WriteBytes(folder.Path("out.xlsx"), old);
        const Result result = RunHy3conv(folder, command, limited);
        if (command[0] == "--template" && result.status == 0) {
            continue;  // the template is small enough to pass the limit
        }
        EXPECT_EQ(result.status, 1) << command[0] << ": " << result.err;
        EXPECT_NE(result.err.find(": 61:"), std::string::npos) << command[0] << ": " << result.err;
        EXPECT_EQ(test_support::ReadBytes(folder.Path("out.xlsx")), old) << command[0];
    }
}

}  // namespace
