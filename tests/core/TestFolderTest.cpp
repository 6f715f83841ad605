// The folders of a test's own, which every test that writes files uses: fresh,
// private to the process and the test, and gone afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(TestFolder, FreshPrivateAndNamedAfterTheTest)
{
    const TestFolder first, second;
    EXPECT_NE(first.Path(), second.Path());  // two in one test do not meet either
    for (const TestFolder* folder : {&first, &second}) {
        ASSERT_TRUE(fs::is_directory(folder->Path()));
        EXPECT_TRUE(fs::is_empty(folder->Path()));
        const std::string name = folder->Path().filename().string();
        EXPECT_EQ(name.rfind("trilat-TestFolder.FreshPrivateAndNamedAfterTheTest-" + std::to_string(getpid()) + "-", 0),
                  0u)
            << name;
        struct stat info {};
        ASSERT_EQ(stat(folder->Path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
}

TEST(TestFolder, GoesWithEverythingInIt)
{
    fs::path kept;
    {
        const TestFolder folder;
        kept = folder.Path();
        fs::create_directories(kept / "inner");
        std::ofstream(folder.File("inner/answers.txt")) << "2\n";
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(TestFolder, NamesOfParameterisedTestsStayOneFileName)
{
    EXPECT_EQ(FileNameSafe("Cases/Chain.Closes/3"), "Cases_Chain.Closes_3");
    EXPECT_EQ(FileNameSafe("a b\tc"), "a_b_c");
}

}  // namespace
