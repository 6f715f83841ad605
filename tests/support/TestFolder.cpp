#include "support/TestFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

std::filesystem::path TemporaryBase()
{
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir && *tmpdir) return tmpdir;
    return ::testing::TempDir();
}

}  // namespace

std::string FileNameSafe(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                           c == '-' || c == '_';
        if (!plain) c = '_';
    }
    return safe;
}

FreshFolder::FreshFolder(const std::string& name)
{
    // mkdtemp makes the folder with mode 0700 and a name nobody else holds,
    // even when two processes of one test (two checkouts) start together.
    const std::string pattern = (TemporaryBase() / ("trilat-" + FileNameSafe(name) + "-" +
                                                    std::to_string(getpid()) + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot make a test folder like " + pattern);
    path_ = buffer.data();
}

FreshFolder::~FreshFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

std::string CurrentTestName()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return "outside-a-test";
    return std::string(test->test_suite_name()) + "." + test->name();
}

}  // namespace

TestFolder::TestFolder() : FreshFolder(CurrentTestName()) {}
