#include "platform/os/file_access.h"
#include "platform/os/posix/errno_error.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "fare_model/run_error.h"
#include "test_support.h"

namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(InputFile, MissingFileFailsWith53Or76) {
    test_support::ScratchFolder folder;
    for (const auto& [name, code] :
         std::vector<std::pair<std::string, int>>{{"none.txt", 53}, {"none/in.txt", 76}}) {
        try {
            auto file = platform::SystemFileSystem().OpenInput(folder.Path(name));
            ADD_FAILURE() << name << " opened";
        } catch (const fare_model::RunError& error) {
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
    std::optional<platform::FileIdentity> a = platform::IdentityOf(folder.Path("a"));
    std::optional<platform::FileIdentity> b = platform::IdentityOf(folder.Path("b"));
    std::optional<platform::FileIdentity> hard = platform::IdentityOf(folder.Path("hard"));
    std::optional<platform::FileIdentity> soft = platform::IdentityOf(folder.Path("soft"));
    ASSERT_TRUE(a && b && hard && soft);
    EXPECT_FALSE(platform::IdentityOf(folder.Path("none")).has_value());
    EXPECT_EQ(a, hard);
    EXPECT_EQ(a, soft);
    EXPECT_NE(a, b);
    EXPECT_EQ(platform::SystemFileSystem().OpenInput(folder.Path("soft"))->Identity(), a);
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
        fare_model::RunError error = platform::ErrorFromErrno(errnum, inFolder);
        EXPECT_EQ(error.code(), code) << "errno " << errnum;
        EXPECT_EQ(error.reason(), fare_model::Reason::kNone);  // the code's own words only
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
        {76, "パスが見つかりません。"},
        {321, "ファイル形式が不正です。"}};
    for (const auto& [code, text] : texts) {
        EXPECT_EQ(platform::DescriptionForCode(code), text) << code;
        EXPECT_EQ(fare_model::RunError(code).reason(), fare_model::Reason::kNone) << code;
    }
}

TEST(CheckPathSyntax, RejectsEmptyPathsAndNul) {
    for (const std::string& path : {std::string(), std::string("a\0b", 3), std::string(1, '\0')}) {
        try {
            platform::CheckPathSyntax(path);
            ADD_FAILURE() << "accepted a bad path of " << path.size() << " bytes";
        } catch (const fare_model::RunError& error) {
            EXPECT_EQ(error.code(), 52);
        }
    }
    EXPECT_NO_THROW(platform::CheckPathSyntax("a.txt"));
}

}  // namespace
