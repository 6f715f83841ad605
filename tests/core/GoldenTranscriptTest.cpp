// Whole sessions compared event by event with reviewed transcripts: every
// prompt, field text, message and report line in its order. A transcript is
// made with `trilat-replay --report < X.answers > X.transcript` and read
// through before it is committed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ReplayWithReport(const std::filesystem::path& answers)
{
    std::string command = std::string(TRILAT_REPLAY) + " --report < '" + answers.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
    return out;
}

TEST(GoldenTranscript, SessionsReplayExactly)
{
    int sessions = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TRILAT_TEST_DATA) + "/golden")) {
        if (entry.path().extension() != ".answers") continue;
        std::filesystem::path expected = entry.path();
        expected.replace_extension(".transcript");
        std::string want = Read(expected), got = ReplayWithReport(entry.path());
        if (got != want) {
            // report the first differing line
            std::istringstream a(want), b(got);
            std::string la, lb;
            int line = 1;
            while (std::getline(a, la) && std::getline(b, lb) && la == lb) ++line;
            ADD_FAILURE() << entry.path().filename() << " differs at line " << line << ":\n  want: " << la
                          << "\n  got:  " << lb;
        }
        ++sessions;
    }
    EXPECT_GE(sessions, 2);
}

}  // namespace
