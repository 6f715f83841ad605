// Replays the fuzz seed corpus and every input the fuzzer ever found against
// the properties of the fuzz target (tests/fuzz/regressions keeps the findings).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/AnswerProperties.h"

TEST(FuzzCorpus, EverySeedAndFindingKeepsTheProperties)
{
    int files = 0;
    for (const char* dir : {"corpus", "regressions"}) {
        std::filesystem::path folder = std::filesystem::path(TRILAT_FUZZ_DATA) / dir;
        if (!std::filesystem::exists(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(CheckAnswerProperties(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
                << entry.path();
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}
