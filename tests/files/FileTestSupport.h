#pragma once
// Chains, files and folders the observation-file tests share.
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "files/ObservationFile.h"

// Two chains of the fuzz corpus as records: four triangles closing on C with
// an external azimuth (fan4-azimuth), five closing on C and D with a point
// after C (pivot5-d).
ObservationRecord AzimuthChain();
ObservationRecord PointDChain();

// The record with the text of one value replaced.
ObservationRecord With(ObservationRecord record, ValueKey key, const std::string& text);

// A file of the given lines after the first line naming the format.
std::string FileOf(const std::vector<std::string>& lines);

// The record read from text; fails the test (and returns an empty record)
// when the text does not read.
ObservationRecord ReadOrFail(const std::string& text);
// The error reading text gives; fails the test when it reads.
FileError ErrorOf(const std::string& text);

// The answers a replay of the record types: each value then an empty
// confirmation (N has none), and empty answers to the display prompts.
std::vector<std::string> AnswersOf(const ObservationRecord& record);

std::string ReadBytes(const std::filesystem::path& path);

// A folder of its own for one test, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::vector<std::string> Entries() const;  // file names, sorted

private:
    std::filesystem::path path_;
};
