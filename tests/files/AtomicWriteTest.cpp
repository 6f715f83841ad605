// Saving never leaves a half-written file in place of the old one, nor a
// temporary file behind.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <algorithm>

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

TEST(AtomicWrite, ALinkStaysALinkAndAPipeIsWrittenNotReplaced)
{
    TemporaryFolder folder;
    const std::string file = (folder.Path() / "file.trilat").string();
    const std::string link = (folder.Path() / "link.trilat").string();
    ASSERT_EQ(WriteFileAtomically(file, "old\n"), std::nullopt);
    std::filesystem::create_symlink("file.trilat", link);
    EXPECT_EQ(WriteFileAtomically(link, "new\n"), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(file), "new\n");

    // as /dev/stdout is: a reader at the other end gets the bytes, the pipe stays
    // (the reader opened first and without waiting, so that nothing can hang)
    const std::string pipe = (folder.Path() / "pipe").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteFileAtomically(pipe, "through\n"), std::nullopt);
    char read[16] = {};
    const ssize_t got = ::read(reader, read, sizeof read);
    ::close(reader);
    EXPECT_EQ(std::string(read, static_cast<std::size_t>(std::max<ssize_t>(got, 0))), "through\n");
    struct stat st {};
    ASSERT_EQ(::stat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(folder.Entries(), (Names{"file.trilat", "link.trilat", "pipe"}));
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
