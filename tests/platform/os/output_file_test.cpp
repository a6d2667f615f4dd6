#include "platform/os/output_file.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "platform/os/run_error.h"
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

int CommitCode(const std::string& path, std::optional<platform::FileIdentity> mustNotReplace,
               platform::OutputFileSeams seams = {}) {
    try {
        platform::AtomicOutputFile file(path, std::move(seams));
        file.Write("new");
        file.Commit(mustNotReplace);
    } catch (const platform::RunError& error) {
        return error.code();
    }
    return 0;
}

TEST(AtomicOutputFile, CommitRefusesToReplaceTheNamedFile) {
    test_support::ScratchFolder folder;
    const std::string input = folder.Path("table.txt");
    WriteBytes(input, "INPUT");
    std::filesystem::create_symlink(input, folder.Path("out.hy3"));
    std::optional<platform::FileIdentity> inputIdentity = platform::IdentityOf(input);
    ASSERT_TRUE(inputIdentity);
    EXPECT_EQ(CommitCode(folder.Path("out.hy3"), *inputIdentity), 75);
    EXPECT_EQ(ReadBytes(input), "INPUT");
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"out.hy3", "table.txt"}));
}

TEST(AtomicOutputFile, AFolderThatCannotBeSyncedFailsWith57) {
    test_support::ScratchFolder folder;
    platform::OutputFileSeams seams;
    seams.syncFolder = [](int) {
        errno = EIO;
        return -1;
    };
    EXPECT_EQ(CommitCode(folder.Path("out.hy3"), std::nullopt, seams), 57);
}

// A failed run must not look like a change to a program watching the old file.
TEST(AtomicOutputFile, OldFileIsNeverOpenedForWriting) {
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("out.hy3");
    WriteBytes(path, "OLD");
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, path.c_str(), IN_MODIFY | IN_CLOSE_WRITE), 0);
    {
        platform::AtomicOutputFile file(path);
        file.Write("new");
    }
    char event[4096];
    EXPECT_LT(read(watch, event, sizeof event), 0) << "the old file was opened for writing";
    close(watch);
}

// The ACL and user attributes of a replaced file, and a folder's default ACL for a new one.
TEST(AtomicOutputFile, KeepsTheAclAndUserAttributes) {
    if (std::system("command -v setfacl >/dev/null && command -v getfacl >/dev/null") != 0) {
        GTEST_SKIP() << "setfacl and getfacl are not installed (the acl package)";
    }
    test_support::ScratchFolder folder;
    const std::string path = folder.Path("out.hy3");
    WriteBytes(path, "OLD");
    chmod(path.c_str(), 0640);
    std::string acl = "setfacl -m u:65534:r--,m::r-- " + path + " 2>/dev/null";
    if (std::system(acl.c_str()) != 0) {
        GTEST_SKIP() << "this file system takes no POSIX ACL";
    }
    bool userAttribute = setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0;
    auto aclOf = [](const std::string& file) {
        std::string out = file + ".acl";
        std::system(("getfacl -c -n -p " + file + " > " + out).c_str());
        return ReadBytes(out);
    };
    const std::string before = aclOf(path);
    platform::WriteFileAtomically(path, "new");
    EXPECT_EQ(aclOf(path), before);
    EXPECT_EQ(test_support::PermissionBits(path), 0640u);
    if (userAttribute) {
        char value[16] = {};
        EXPECT_EQ(getxattr(path.c_str(), "user.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }

    std::filesystem::create_directory(folder.Path("shared"));
    ASSERT_EQ(
        std::system(("setfacl -d -m u:65534:rw-,g::r--,o::--- " + folder.Path("shared")).c_str()),
        0);
    platform::WriteFileAtomically(folder.Path("shared/new.hy3"), "new");
    std::string inherited = aclOf(folder.Path("shared/new.hy3"));
    EXPECT_NE(inherited.find("user:65534:rw-"), std::string::npos) << inherited;
    EXPECT_NE(inherited.find("other::---"), std::string::npos) << inherited;
}

}  // namespace
