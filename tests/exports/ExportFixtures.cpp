#include "ExportFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "run/ScriptedPlatform.h"

namespace exports {

namespace {

// The sign of every even side as typed: the answer lines of the run hold N,
// eight coordinates, without D two angles (each value followed by its
// confirmation), then the sides S2, S3, ... with their confirmations.
std::vector<int> TypedRouteSigns(const std::vector<std::string>& answers, const ProgramState& s)
{
    const int N = s.TriangleCount;
    std::vector<int> signs(static_cast<std::size_t>(N) + 2, 0);
    std::size_t first = 1 + 2 * 8 + (PointDGiven(s) ? 0 : 2 * 2);
    for (int i = 1; i <= N; ++i) {
        // side 2i is the (2i-1)th side typed (S2 is the first)
        const std::size_t line = first + 2 * static_cast<std::size_t>(2 * i - 2);
        signs[static_cast<std::size_t>(i)] = answers.at(line).rfind('-', 0) == 0 ? -1 : 1;
    }
    if (s.Qb < 0) signs[static_cast<std::size_t>(N) + 1] = -1;
    else signs[static_cast<std::size_t>(N) + 1] = 1;
    return signs;
}

}  // namespace

ListedRun RunAndList(const std::vector<std::string>& answers, const std::string& project)
{
    ListedRun r;
    ScriptedPlatform p(answers);
    r.outcome = AdjustmentRun(r.state, p);
    if (r.outcome.kind != RunOutcome::Completed) return r;
    const ProgramState& s = r.state;
    ChainInput input = s.LastRun->input;
    const std::vector<int> signs = TypedRouteSigns(answers, s);
    for (int i = 1; i <= s.TriangleCount; ++i)
        input.observations.sides.at(2 * static_cast<std::size_t>(i)).routeSign = signs[static_cast<std::size_t>(i)];
    input.project = project;
    ChainResult result = s.LastRun->result;
    result.PointPrecisions.clear();  // the listing without the points' precision
    for (std::size_t k = 1; k < result.SideLengths.size(); ++k) result.Corrections[k] = result.SideLengths[k] - result.ObservedSides[k];
    r.listing = ListChain(input, result);
    return r;
}

std::vector<std::string> Renamed(std::vector<std::string> answers, const std::string& from, const std::string& to)
{
    for (std::string& a : answers)
        if (a == from) {
            a = to;
            return answers;
        }
    throw std::logic_error("no answer line " + from);
}

void RenamePoint(ChainListing& l, const std::string& from, const std::string& to)
{
    for (auto* group : {&l.knownPoints, &l.points})
        for (ListedPoint& p : *group)
            if (p.name == from) p.name = to;
    for (ListedSide& side : l.sides) {
        if (side.from == from) side.from = to;
        if (side.to == from) side.to = to;
    }
    if (l.closing && l.closing->lastSideFar == from) l.closing->lastSideFar = to;
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "trilat-exports-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string RunPython(const TempFolder& folder, const std::string& script, const std::filesystem::path& file,
                      int* status)
{
    std::filesystem::path scriptFile = folder.Write("reader.py", script);
    // the folder is ours (mkdtemp) and its paths hold no quote
    std::string command = "'" + std::string(TRILAT_PYTHON3) + "' '" + scriptFile.string() + "' '" + file.string() +
                          "' 2>&1 </dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot start python3");
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    int rc = pclose(pipe);
    if (status) *status = rc;
    return out;
}

std::string FromHex(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (true) {
        std::size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end - start));
        if (end == std::string::npos) return words;
        start = end + 1;
    }
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace exports
