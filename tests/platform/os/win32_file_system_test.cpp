// The file system on Windows, on the real thing (or Wine): Japanese and long paths, the
// names Windows cannot create, a file another program holds, and no leftovers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "fare_model/run_error.h"
#include "platform/os/file_access.h"
#include "platform/os/output_file.h"
#include "test_support.h"

namespace {

using fare_model::FileCause;
using fare_model::RunError;

std::optional<RunError> ErrorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const RunError& error) {
        return error;
    }
    return std::nullopt;
}

std::wstring Wide(const std::string& utf8) {
    return test_support::PathFromUtf8(utf8).wstring();
}

class Win32FileSystemTest : public ::testing::Test {
  protected:
    test_support::ScratchFolder scratch_;
    const std::string folder_ = scratch_.Path("運賃");
    const std::string table_ = folder_ + "\\表.hy3";

    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(Wide(folder_).c_str(), nullptr)); }
};

TEST_F(Win32FileSystemTest, WritesReplacesAndReadsJapaneseAndLongPaths) {
    platform::WriteFileAtomically(table_, "first");
    platform::WriteFileAtomically(table_, "second");
    EXPECT_EQ(platform::ReadBoundedFile(table_, 100).bytes, "second");
    std::string slashes = table_;
    std::replace(slashes.begin(), slashes.end(), '\\', '/');
    EXPECT_EQ(platform::ReadBoundedFile(slashes, 100).bytes, "second");
    EXPECT_EQ(platform::IdentityOf(table_), platform::IdentityOf(folder_ + "\\..\\運賃\\表.HY3"));

    std::string deep = folder_;
    for (int level = 0; level < 30; ++level) {
        deep += "\\abcdefghij";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Wide(deep)).c_str(), nullptr));
    }
    ASSERT_GT(deep.size(), 300u);
    platform::WriteFileAtomically(deep + "\\表.hy3", "deep");
    EXPECT_EQ(platform::ReadBoundedFile(deep + "\\表.hy3", 100).bytes, "deep");
}

TEST_F(Win32FileSystemTest, FailsWithItsCodeAndKeepsTheOldFile) {
    platform::WriteFileAtomically(table_, "old");
    struct Case {
        std::string path;
        int code;
        std::optional<FileCause> cause;
    };
    const Case cases[] = {
        {folder_ + "\\NUL.hy3", 52, FileCause::kReservedOnWindows},
        {folder_ + "\\COM1.txt", 52, FileCause::kReservedOnWindows},
        {folder_ + "\\a.", 52, FileCause::kReservedOnWindows},
        {folder_ + "\\a ", 52, FileCause::kReservedOnWindows},
        {folder_ + "\\a:b", 52, FileCause::kReservedOnWindows},
        {folder_ + "\\no\\a.hy3", 76, std::nullopt},
    };
    for (const Case& each : cases) {
        auto error = ErrorOf([&] { platform::WriteFileAtomically(each.path, "x"); });
        ASSERT_TRUE(error) << each.path;
        EXPECT_EQ(error->code(), each.code) << each.path;
        if (each.cause) {
            EXPECT_EQ(error->cause(), *each.cause) << each.path;
        }
    }
    EXPECT_EQ(ErrorOf([&] { platform::ReadBoundedFile(folder_ + "\\none.csv", 10); })->code(), 53);

    // Another program holds the .hy3 open and shares only reading: it is told as in use, the
    // old bytes stay, and the file can still be read.
    HANDLE held = CreateFileW(Wide(table_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    auto inUse = ErrorOf([&] { platform::WriteFileAtomically(table_, "new"); });
    EXPECT_EQ(platform::ReadBoundedFile(table_, 100).bytes, "old");
    CloseHandle(held);
    ASSERT_TRUE(inUse);
    EXPECT_EQ(inUse->code(), 70);
    EXPECT_EQ(inUse->cause(), FileCause::kInUse);

    // A workbook the spreadsheet program holds open for writing can still be read.
    HANDLE writing =
        CreateFileW(Wide(table_).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writing, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::ReadBoundedFile(table_, 100).bytes, "old");
    CloseHandle(writing);

    {
        platform::AtomicOutputFile discarded(folder_ + "\\gone.hy3");
        discarded.Write("x");
    }
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(Wide(folder_))) {
        left.insert(test_support::Utf8(entry.path().filename()));
    }
    EXPECT_EQ(left, std::set<std::string>{"表.hy3"});
}

}  // namespace
