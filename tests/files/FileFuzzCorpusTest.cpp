// Replays the seed corpus of the observation-file fuzz target and every input
// it ever found (tests/fuzz/file-regressions keeps the findings).
#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "support/FileProperties.h"

TEST(FileFuzzCorpus, EverySeedAndFindingKeepsTheProperties)
{
    int files = 0, records = 0;
    for (const char* dir : {"file-corpus", "file-regressions"}) {
        std::filesystem::path folder = std::filesystem::path(TRILAT_SOURCE_DIR) / "tests/fuzz" / dir;
        if (!std::filesystem::exists(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string bytes = ReadBytes(entry.path());
            EXPECT_EQ(CheckFileProperties(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
                << entry.path();
            records += std::holds_alternative<ObservationRecord>(ReadObservationFile(bytes));
            ++files;
        }
    }
    EXPECT_GT(files, 4);
    EXPECT_GT(records, 2) << "the seeds hold good files, not only bad ones";
}
