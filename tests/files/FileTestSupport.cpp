#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "files/RecordKeys.h"

namespace {

ObservationRecord RecordOf(const std::vector<ValueKey>& keys, const std::vector<std::string>& texts)
{
    EXPECT_EQ(keys.size(), texts.size());
    ObservationRecord record;
    for (std::size_t i = 0; i < keys.size() && i < texts.size(); ++i) record.values.push_back({keys[i], texts[i]});
    record.complete = true;
    return record;
}

}  // namespace

ObservationRecord AzimuthChain()
{
    return RecordOf(DialogueKeys(4, false, false),
                    {"4", "1000", "1000", "1000", "1100", "913.3974596215561", "1150", "0", "0", "55.00000000", "25",
                     "100", "100", "100", "100", "100", "100", "-100", "100", "B", "P1", "P2", "P3", "C"});
}

ObservationRecord PointDChain()
{
    return RecordOf(DialogueKeys(5, true, true),
                    {"5", "1000", "1000", "1000", "1100", "826.7949192431122", "1100", "740.1923788646683", "1050",
                     "-100", "100", "100", "100", "100", "100", "-100", "100", "-100", "B", "P1", "P2", "C", "Q"});
}

ObservationRecord With(ObservationRecord record, ValueKey key, const std::string& text)
{
    for (TypedValue& v : record.values)
        if (v.key == key) v.text = text;
    return record;
}

std::string FileOf(const std::vector<std::string>& lines)
{
    std::string text = "trilat-observations 1\n";
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

ObservationRecord ReadOrFail(const std::string& text)
{
    auto read = ReadObservationFile(text);
    if (const FileError* error = std::get_if<FileError>(&read)) {
        ADD_FAILURE() << FormatFileError(*error) << "\n" << text;
        return {};
    }
    return std::get<ObservationRecord>(read);
}

FileError ErrorOf(const std::string& text)
{
    auto read = ReadObservationFile(text);
    if (const FileError* error = std::get_if<FileError>(&read)) return *error;
    ADD_FAILURE() << "read without error:\n" << text;
    return {-1, ""};
}

std::vector<std::string> AnswersOf(const ObservationRecord& record)
{
    std::vector<std::string> answers;
    for (const TypedValue& v : record.values) {
        answers.push_back(v.text);
        if (v.key.kind != ValueKind::TriangleCount) answers.push_back("");
    }
    answers.insert(answers.end(), 3, "");  // the display prompt, then nothing more
    return answers;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TemporaryFolder::TemporaryFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "trilat-files-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "no temporary folder";
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TemporaryFolder::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}
