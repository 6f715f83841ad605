#pragma once
// Helpers of the export tests: a completed run of a chain turned into its
// listing, a temporary folder of the test's own, and python3 reading a file
// back (the readers the exports are written for: csv, codecs, xml.etree).
#include <filesystem>
#include <string>
#include <vector>

#include "state/ChainListing.h"
#include "run/ListChain.h"
#include "run/AdjustmentRun.h"
#include "state/ProgramState.h"
#include "support/ChainGenerator.h"

namespace exports {

struct ListedRun {
    ProgramState state;
    ChainListing listing;
    RunOutcome outcome{RunOutcome::Failed, "not run"};
};

// Runs the answers through the real dialogue and lists the run. The route
// signs come from the typed even sides (their leading '-'), the corrections
// from adjusted minus typed sides, not from the run's own.
ListedRun RunAndList(const std::vector<std::string>& answers, const std::string& project = {});

// The chain's answers with the answer line `from` (a point name) replaced.
std::vector<std::string> Renamed(std::vector<std::string> answers, const std::string& from, const std::string& to);

// Renames a point everywhere in a listing (points, sides, closing angle).
void RenamePoint(ChainListing& l, const std::string& from, const std::string& to);

// A fresh folder below the system's temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    // Writes bytes to a file in the folder; returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// Runs python3 on `script` (written into the folder) with the file as its
// argument; returns what it printed, and sets *status to its exit status.
std::string RunPython(const TempFolder& folder, const std::string& script, const std::filesystem::path& file,
                      int* status);

// Text of hex digits (two a byte) back to bytes; python prints names so, to
// carry line breaks and spaces through its output.
std::string FromHex(const std::string& hex);
// Splits a line at single spaces.
std::vector<std::string> Words(const std::string& line);
// Splits at "\n", without a last empty element.
std::vector<std::string> Lines(const std::string& text);

}  // namespace exports
