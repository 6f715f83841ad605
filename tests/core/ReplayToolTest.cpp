// The trilat-replay program itself: its input and output contract.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include "support/TestFolder.h"

namespace {

struct Result {
    std::string out;
    int status;
};

Result Replay(const std::string& input, const std::string& args = "")
{
    // the answers lie in the running test's own folder: tests run side by side
    const TestFolder folder;
    const std::string path = folder.File("replay-input.txt");
    std::ofstream(path, std::ios::binary) << input;
    std::string command = std::string(TRILAT_REPLAY) + " " + args + " < '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    Result r{{}, -1};
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(ReplayTool, EmptyInputCancelsTheFirstPrompt)
{
    Result r = Replay("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "PROMPT\t请输入三角形个数 N: \nEND\tcancelled\n");
}

TEST(ReplayTool, UsageError)
{
    EXPECT_EQ(Replay("", "--no-such-option").status, 2);
}

TEST(ReplayTool, LineEndsAndCancel)
{
    // CRLF line ends are line ends; <CANCEL> presses Cancel; runs repeat while input remains
    Result r = Replay("2\r\n7\r\n\r\n<CANCEL>\r\n3\r\n<CANCEL>\n");
    EXPECT_NE(r.out.find("TEXT\tText1\t 7.000\n"), std::string::npos);
    EXPECT_NE(r.out.find("END\tcancelled\nPROMPT\t请输入三角形个数 N: \nTEXT\tText29\t 三角锁共有3个三角形\n"),
              std::string::npos);
    EXPECT_EQ(r.status, 0);
}

TEST(ReplayTool, ReportOfTheLastCompletedRun)
{
    std::ifstream in(std::string(TRILAT_TEST_DATA) + "/worked-example.answers", std::ios::binary);
    std::string answers((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Result r = Replay(answers, "--report");
    EXPECT_NE(r.out.find("END\tcompleted\nREPORT\t                     --- 由已知边起算的三边锁平差 ---\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("REPORT\t                       P1    X= -86.603       Y= 50.000\n"), std::string::npos);
    // the report ends with md and the name of the weakest point, P1, the one new point
    EXPECT_NE(r.out.find(" 毫米\nREPORT\t" + std::string(23, ' ') + "最弱点：P1\n"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 3), "P1\n");

    // a press cancelled at the triangle count changed nothing: the finished run still prints
    Result pressed = Replay(answers + "<CANCEL>\n", "--report");
    EXPECT_EQ(pressed.out, r.out.substr(0, r.out.find("REPORT\t")) + "PROMPT\t请输入三角形个数 N: \nEND\tcancelled\n" +
                               r.out.substr(r.out.find("REPORT\t")));

    Result cancelled = Replay(answers + "2\n<CANCEL>\n", "--report");
    EXPECT_EQ(cancelled.out.find("REPORT\t"), std::string::npos);  // the last run did not complete
}

}  // namespace
