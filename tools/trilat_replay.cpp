// trilat-replay: the real run sequence against a scripted operator.
// Answers come one per line on standard input ("<CANCEL>" presses Cancel);
// every event is written to standard output, one line each.
//   trilat-replay [--report]   --report: print the report of the last run
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "display/ReportComposer.h"
#include "run/ScriptedPlatform.h"

int main(int argc, char** argv)
{
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--report") {
            report = true;
        } else {
            std::fprintf(stderr, "usage: trilat-replay [--report] < answers\n");
            return 2;
        }
    }
    std::ios::sync_with_stdio(false);
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    ScriptedPlatform platform(SplitAnswerLines(input));
    input.clear();
    input.shrink_to_fit();
    platform.StreamTo(stdout);
    ProgramState state;
    do {
        platform.EndRun(AdjustmentRun(state, platform));
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
    return 0;
}
