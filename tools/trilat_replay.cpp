// trilat-replay: the real run sequence against a scripted operator.
// Answers come one per line on standard input ("<CANCEL>" presses Cancel,
// "<ALL>" 全部显示 of the pacing prompt, "<继续输入>" or "<结束>" a button of the
// question after Cancel); every event is written to standard output, one line each.
//   trilat-replay [--report] [--open FILE] [--save FILE]
//   --report     print the report of the last run
//   --open FILE  the first run takes the values of an observation file
//                without their prompts (a complete file runs without any
//                prompt); the answers on standard input follow
//   --save FILE  writes the values of the last run (complete or not) as an
//                observation file
//   --journal FILE  keeps the journal of each run in FILE: every confirmed
//                value written and synced before the next prompt; removed
//                when a run has all its values
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <variant>

#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/Journal.h"
#include "files/ObservationFile.h"
#include "run/ScriptedPlatform.h"

static int Usage()
{
    std::fprintf(stderr, "usage: trilat-replay [--report] [--open FILE] [--save FILE] [--journal FILE] < answers\n");
    return 2;
}

static bool ReadWhole(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !in.bad();
}

int main(int argc, char** argv)
{
    bool report = false;
    std::string openPath, savePath, journalPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--report") {
            report = true;
        } else if ((arg == "--open" || arg == "--save" || arg == "--journal") && i + 1 < argc) {
            (arg == "--open" ? openPath : arg == "--save" ? savePath : journalPath) = argv[++i];
        } else {
            return Usage();
        }
    }

    ObservationRecord opened;
    if (!openPath.empty()) {
        std::string bytes;
        if (!ReadWhole(openPath, bytes)) {
            std::fprintf(stderr, "trilat-replay: %s: cannot be read\n", openPath.c_str());
            return 2;
        }
        auto read = ReadObservationFile(bytes);
        if (const FileError* error = std::get_if<FileError>(&read)) {
            std::fprintf(stderr, "trilat-replay: %s: %s\n", openPath.c_str(), FormatFileError(*error).c_str());
            return 2;
        }
        opened = std::get<ObservationRecord>(std::move(read));
    }

    std::ios::sync_with_stdio(false);
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    ScriptedPlatform platform(SplitAnswerLines(input));
    input.clear();
    input.shrink_to_fit();
    platform.StreamTo(stdout);
    ProgramState state;
    Journal journal(journalPath);
    bool firstRun = true;
    do {
        RunOptions options;
        if (firstRun && !openPath.empty()) options.prefilled = &opened;
        if (!journalPath.empty()) {
            journal.Start();
            options.onConfirm = [&journal](const ObservationRecord& typed) {
                if (std::optional<std::string> error = journal.Update(typed))
                    std::fprintf(stderr, "trilat-replay: journal %s\n", error->c_str());
            };
        }
        RunOutcome outcome = AdjustmentRun(state, platform, options);
        if (!journalPath.empty() && outcome.observations) journal.Remove();  // every value is in
        platform.EndRun(outcome);
        firstRun = false;
    } while (platform.HasUnreadInput());
    if (report) {
        if (state.LastRunCompleted) {
            ReportPrinter(state, platform);
        } else {
            std::fprintf(stderr, "trilat-replay: the last run did not complete; no report\n");
        }
    }
    std::string rest = platform.TakeTranscript();
    std::fwrite(rest.data(), 1, rest.size(), stdout);
    std::fflush(stdout);
    if (!savePath.empty()) {
        if (state.LastTyped.values.empty()) {
            std::fprintf(stderr, "trilat-replay: no run took a value; nothing saved\n");
            return 3;
        }
        if (std::optional<std::string> error = WriteFileAtomically(savePath, WriteObservationFile(state.LastTyped))) {
            std::fprintf(stderr, "trilat-replay: %s: %s\n", savePath.c_str(), error->c_str());
            return 3;
        }
    }
    return 0;
}
