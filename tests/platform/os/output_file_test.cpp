#include "platform/os/output_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "fare_model/run_error.h"
#include "platform/os/file_access.h"
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
    } catch (const fare_model::RunError& error) {
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
    seams.syncFolder = [] { return false; };
    EXPECT_EQ(CommitCode(folder.Path("out.hy3"), std::nullopt, seams), 57);
}

// A failing or fake-capacity card: the bytes read back from the medium are not those written.
TEST(AtomicOutputFile, AMediumThatDoesNotKeepTheBytesFailsWith57) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
    };
    const Case cases[] = {
        {"one byte altered", [](const std::string& path) { WriteBytes(path, "nEW BYTES"); }},
        {"the tail lost", [](const std::string& path) { truncate(path.c_str(), 3); }},
    };
    for (const Case& c : cases) {
        test_support::ScratchFolder folder;
        const std::string path = folder.Path("out.hy3");
        platform::OutputFileSeams seams;
        seams.afterFlush = [&] { c.spoil(path); };
        try {
            platform::AtomicOutputFile file(path, seams);
            file.Write("NEW BYTES");
            file.Commit();
            ADD_FAILURE() << c.what << ": reported as written";
        } catch (const platform::RunError& error) {
            EXPECT_EQ(error.code(), 57) << c.what;
            EXPECT_EQ(error.cause(), fare_model::FileCause::kNotKept) << c.what;
        }
    }
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

namespace {

// Dates `path` (not following a link) `seconds` back.
void AgeBy(const std::string& path, int seconds) {
    timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

std::string StatField22(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat;
    std::getline(in, stat);
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) {
        fields >> field;
    }
    return field;
}

// A temporary file goes only on proof that its writer has ended: its name of this boot names a
// process that is gone, it is a regular file, and no one holds its lock. Neither age nor name
// alone is proof. The clean-up runs in a child, which has not seen the folder yet.
TEST(AtomicOutputFile, RemovesOnlyTheFilesOfKilledRuns) {
    std::ifstream bootFile("/proc/sys/kernel/random/boot_id");
    std::string boot, uuid;
    std::getline(bootFile, uuid);
    for (char c : uuid) {
        if (c != '-' && boot.size() < 12) {
            boot += c;
        }
    }
    const std::string self = std::to_string(getpid());
    const std::string ended = ".hy3-" + boot + "-99999999-1-Abcdef";
    const std::string locked = ".hy3-" + boot + "-99999998-1-Abcdef";
    const std::set<std::string> kept = {
        ".hy3-" + boot + "-" + self + "-" + StatField22(self) + "-Abcdef",  // a live run's
        locked,
        ".hy3-000000000000-99999999-1-Abcdef",  // another boot's, or another computer's
        ".hy3-" + boot + "-99999997-1-Abcdef",  // a folder
        ".hy3-abcdefghij",                      // a user's files
        ".hy3-short",
        "table.hy3",
    };
    test_support::ScratchFolder folder;
    for (const std::string& name : kept) {
        if (name.find("99999997") == std::string::npos) {
            WriteBytes(folder.Path(name), "left");
            AgeBy(folder.Path(name), 3600);
        }
    }
    std::filesystem::create_directory(folder.Path(".hy3-" + boot + "-99999997-1-Abcdef"));
    WriteBytes(folder.Path(ended), "left");
    int holder = open(folder.Path(locked).c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    pid_t child = fork();
    if (child == 0) {
        platform::WriteFileAtomically(folder.Path("out.hy3"), "new");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    close(holder);
    std::set<std::string> expected = kept;
    expected.insert("out.hy3");
    EXPECT_EQ(folder.Names(), expected);
}

// An ordinary Linux folder tells case apart and keeps no trace of being asked; two spellings
// of one name with the same size and time are the one guess of one file.
TEST(FileAccess, FolderCaseAndSpellingsOfOneFile) {
    test_support::ScratchFolder folder;
    EXPECT_FALSE(platform::FolderIgnoresCase(folder.Path("")));
    EXPECT_TRUE(folder.Names().empty());

    WriteBytes(folder.Path("fare.txt"), "same");
    WriteBytes(folder.Path("FARE.TXT"), "same");
    WriteBytes(folder.Path("other.txt"), "same");
    for (const char* name : {"fare.txt", "FARE.TXT", "other.txt"}) {
        AgeBy(folder.Path(name), 60);
    }
    EXPECT_TRUE(platform::MayNameOneFile(folder.Path("fare.txt"), folder.Path("FARE.TXT")));
    EXPECT_FALSE(platform::MayNameOneFile(folder.Path("fare.txt"), folder.Path("other.txt")));
    AgeBy(folder.Path("FARE.TXT"), 120);
    EXPECT_FALSE(platform::MayNameOneFile(folder.Path("fare.txt"), folder.Path("FARE.TXT")));
}

}  // namespace
