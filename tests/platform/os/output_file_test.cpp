#include "platform/os/output_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_support.h"

namespace {

using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(AtomicOutputFile, NothingChangesUntilCommit) {
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("out.hy3");
    {
        platform::AtomicOutputFile file(path);
        file.Write("new");
    }
    EXPECT_FALSE(test_support::Exists(path));
    EXPECT_TRUE(folder.Names().empty()) << "a temporary file was left";

    WriteBytes(path, "OLD");
    {
        platform::AtomicOutputFile file(path);
        file.Write(std::string(3000000, 'n'));  // more than any write buffer
        EXPECT_EQ(ReadBytes(path), "OLD");
    }
    EXPECT_EQ(ReadBytes(path), "OLD");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"out.hy3"}));
}

TEST(AtomicOutputFile, CommitReplacesTheFileAndKeepsItsMode) {
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("out.hy3");
    WriteBytes(path, "OLD CONTENT THAT IS LONGER");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    std::string expected;
    {
        platform::AtomicOutputFile file(path);
        for (int i = 0; i < 100000; ++i) {
            std::string piece = std::to_string(i) + ",";
            file.Write(piece);
            expected += piece;
        }
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_EQ(test_support::PermissionBits(path), 0604u);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"out.hy3"}));

    platform::WriteFileAtomically(path, "short");
    EXPECT_EQ(ReadBytes(path), "short");
    EXPECT_EQ(test_support::PermissionBits(path), 0604u);
}

}  // namespace
