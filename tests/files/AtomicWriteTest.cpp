// Saving never leaves a half-written file in place of the old one, nor a
// temporary file behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "FileTestSupport.h"
#include "files/AtomicWrite.h"

namespace {

using Names = std::vector<std::string>;

TEST(AtomicWrite, WritesANewFileAndReplacesAnOldOne)
{
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "线.trilat").string();
    EXPECT_EQ(WriteFileAtomically(path, "first\n"), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "first\n");
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(WriteFileAtomically(path, "second\n"), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "second\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the old file's permissions are kept";
    EXPECT_EQ(folder.Entries(), Names{"线.trilat"});
    EXPECT_EQ(WriteFileAtomically(path, ""), std::nullopt);
    EXPECT_EQ(ReadBytes(path), "");
}

TEST(AtomicWrite, AFolderThatIsNotThereIsReported)
{
    TemporaryFolder folder;
    std::optional<std::string> error = WriteFileAtomically((folder.Path() / "no/such.trilat").string(), "x");
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("no/such.trilat"), std::string::npos) << *error;
    EXPECT_EQ(folder.Entries(), Names{});
}

TEST(AtomicWrite, AFailedRenameLeavesNoTemporaryFile)
{
    TemporaryFolder folder;
    std::filesystem::create_directory(folder.Path() / "taken");
    std::optional<std::string> error = WriteFileAtomically((folder.Path() / "taken").string(), "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(folder.Entries(), Names{"taken"});
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "taken"));
}

TEST(AtomicWrite, AWriteThatFailsHalfWayLeavesTheOldFile)
{
    TemporaryFolder folder;
    const std::string path = (folder.Path() / "old.trilat").string();
    ASSERT_EQ(WriteFileAtomically(path, "the old file\n"), std::nullopt);

    // a disk that fills after 4 KiB: the file size limit of this process
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::optional<std::string> error = WriteFileAtomically(path, std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_TRUE(error);
    EXPECT_EQ(ReadBytes(path), "the old file\n");
    EXPECT_EQ(folder.Entries(), Names{"old.trilat"});
}

}  // namespace
