#include "platform/os/file_access.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/os/run_error.h"
#include "test_support.h"

namespace {

using test_support::ReadBytes;
using test_support::Repeat;
using test_support::WriteBytes;

std::vector<std::string> AllLines(platform::InputFile& file) {
    std::vector<std::string> lines;
    while (!file.AtEnd())
        lines.push_back(file.ReadLine());
    return lines;
}

// ---------------------------------------------------------------------------------------
// Reading lines.

struct LinesCase {
    std::string label;
    std::string content;
    std::vector<std::string> lines;
    friend void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.label; }
};

class InputFileLinesTest : public ::testing::TestWithParam<LinesCase> {
  protected:
    test_support::ScratchFolder folder_;
};

TEST_P(InputFileLinesTest, SplitsAtEveryLineEnd) {
    const std::string path = folder_.Path("in.txt");
    WriteBytes(path, GetParam().content);
    platform::InputFile file(path);
    std::vector<std::string> lines = AllLines(file);
    EXPECT_TRUE(lines == GetParam().lines) << lines.size() << " lines";
    file.Rewind();
    EXPECT_TRUE(AllLines(file) == GetParam().lines) << "after Rewind";
}

std::vector<LinesCase> LineEndCases() {
    std::vector<LinesCase> cases = {
        {"Empty", "", {}},
        {"NoLineEnd", "a", {"a"}},
        {"CrLf", "a\r\nb\r\n", {"a", "b"}},
        {"Lf", "a\nb", {"a", "b"}},
        {"Cr", "a\rb\r", {"a", "b"}},
        {"OnlyCrLf", "\r\n", {""}},
        {"CrCr", "a\r\r", {"a", ""}},
        {"LfCr", "a\n\rb", {"a", "", "b"}},
        {"LfLf", "\n\n", {"", ""}},
        {"CrCrLf", "a\r\r\nb", {"a", "", "b"}},
    };
    // A line end that straddles the reader's block boundary, for any likely block size.
    for (size_t block = 4096; block <= (size_t{1} << 20); block *= 2) {
        for (size_t shortBy : {2, 1, 0}) {
            const std::string longLine(block - shortBy, 'x');
            const std::string suffix = std::to_string(block) + "_" + std::to_string(shortBy);
            cases.push_back({"CrLfAt" + suffix, longLine + "\r\nb\r\n", {longLine, "b"}});
            cases.push_back({"CrAt" + suffix, longLine + "\rb", {longLine, "b"}});
            cases.push_back({"CrAtEndAt" + suffix, longLine + "\r", {longLine}});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, InputFileLinesTest, ::testing::ValuesIn(LineEndCases()),
                         [](const auto& info) { return info.param.label; });

TEST(InputFile, ReadsManyShortLines) {
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("in.txt");
    WriteBytes(path, Repeat("ab\r\n", 300000));
    platform::InputFile file(path);
    size_t count = 0;
    while (!file.AtEnd()) {
        ASSERT_EQ(file.ReadLine(), "ab") << "line " << count + 1;
        ++count;
    }
    EXPECT_EQ(count, 300000u);
}

TEST(InputFile, MissingFileFailsWith53Or76) {
    test_support::ScratchFolder folder;
    for (const auto& [name, code] :
         std::vector<std::pair<std::string, int>>{{"none.txt", 53}, {"none/in.txt", 76}}) {
        try {
            platform::InputFile file(folder.Path(name));
            ADD_FAILURE() << name << " opened";
        } catch (const platform::RunError& error) {
            EXPECT_EQ(error.code(), code) << name;
        }
    }
}

TEST(FileIdentity, HardLinkAndSymlinkAreTheSameFile) {
    test_support::ScratchFolder folder;
    WriteBytes(folder.Path("a"), "x");
    WriteBytes(folder.Path("b"), "x");
    std::filesystem::create_hard_link(folder.Path("a"), folder.Path("hard"));
    std::filesystem::create_symlink(folder.Path("a"), folder.Path("soft"));
    platform::FileIdentity a{}, b{}, hard{}, soft{}, none{};
    ASSERT_TRUE(platform::IdentityOf(folder.Path("a"), a));
    ASSERT_TRUE(platform::IdentityOf(folder.Path("b"), b));
    ASSERT_TRUE(platform::IdentityOf(folder.Path("hard"), hard));
    ASSERT_TRUE(platform::IdentityOf(folder.Path("soft"), soft));
    EXPECT_FALSE(platform::IdentityOf(folder.Path("none"), none));
    EXPECT_EQ(a, hard);
    EXPECT_EQ(a, soft);
    EXPECT_NE(a, b);
    EXPECT_EQ(platform::InputFile(folder.Path("soft")).Identity(), a);
}

// ---------------------------------------------------------------------------------------
// Error codes and their texts.

TEST(ErrorFromErrno, MapsEachErrorToItsCode) {
    test_support::ScratchFolder folder;
    const std::string inFolder = folder.Path("x.txt");
    const std::string noFolder = folder.Path("none/x.txt");
    const std::vector<std::pair<int, int>> expected = {
        {ENOTDIR, 76}, {EISDIR, 75}, {ELOOP, 75},        {EACCES, 70}, {EPERM, 70},  {EROFS, 70},
        {ETXTBSY, 70}, {EBUSY, 70},  {ENAMETOOLONG, 52}, {EINVAL, 52}, {EILSEQ, 52}, {ENOSPC, 61},
        {EDQUOT, 61},  {EFBIG, 61},  {EIO, 57},          {EMFILE, 67}, {ENFILE, 67}, {ENXIO, 68},
        {ENODEV, 68},  {EFAULT, 75}, {EPROTO, 75}};
    for (const auto& [errnum, code] : expected) {
        platform::RunError error = platform::ErrorFromErrno(errnum, inFolder);
        EXPECT_EQ(error.code(), code) << "errno " << errnum;
        EXPECT_EQ(error.description(), platform::DescriptionForCode(code));
    }
    EXPECT_EQ(platform::ErrorFromErrno(ENOENT, inFolder).code(), 53);
    EXPECT_EQ(platform::ErrorFromErrno(ENOENT, noFolder).code(), 76);
}

TEST(RunError, DescriptionsAreTheKnownTexts) {
    const std::vector<std::pair<int, std::string>> texts = {
        {6, "オーバーフローしました。"},
        {9, "インデックスが有効範囲にありません。"},
        {52, "ファイル名または番号が不正です。"},
        {53, "ファイルが見つかりません。"},
        {57, "デバイス I/O エラーです。"},
        {61, "ディスクの空き容量が不足しています。"},
        {67, "ファイルが多すぎます。"},
        {68, "デバイスが準備されていません。"},
        {70, "書き込みできません。"},
        {71, "ディスクが準備されていません。"},
        {75, "パス名が無効です。"},
        {76, "パスが見つかりません。"}};
    for (const auto& [code, text] : texts) {
        EXPECT_EQ(platform::DescriptionForCode(code), text) << code;
        EXPECT_EQ(platform::RunError(code).description(), text) << code;
    }
}

TEST(CheckPathSyntax, RejectsEmptyPathsAndNul) {
    for (const std::string& path : {std::string(), std::string("a\0b", 3), std::string(1, '\0')}) {
        try {
            platform::CheckPathSyntax(path);
            ADD_FAILURE() << "accepted a bad path of " << path.size() << " bytes";
        } catch (const platform::RunError& error) {
            EXPECT_EQ(error.code(), 52);
        }
    }
    EXPECT_NO_THROW(platform::CheckPathSyntax("a.txt"));
}

}  // namespace
