#include "support/AnswerProperties.h"

#include <cstdlib>

#include "display/ReportComposer.h"
#include "run/ScriptedPlatform.h"

namespace {

// Fields that only ever show numbers (with their labels and units).
bool IsNumberField(int field)
{
    return (field >= 1 && field <= 8) || field == 10 || field == 11 || field == 14 || field == 15 ||
           field == 16 || field == 18 || field == 19 || (field >= 21 && field <= 25);
}

bool ShowsOnlyNumbers(const std::string& text)
{
    return text.find("nan") == std::string::npos && text.find("inf") == std::string::npos &&
           text.find('?') == std::string::npos;
}

}  // namespace

std::string CheckAnswerProperties(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> answers = SplitAnswerLines(std::string(reinterpret_cast<const char*>(data), size));
    const std::size_t lines = answers.size();
    ScriptedPlatform platform(std::move(answers));
    ProgramState state;
    std::size_t runs = 0;
    do {
        platform.EndRun(AdjustmentRun(state, platform));
        if (++runs > lines + 1) return "a run read no answer";
    } while (platform.HasUnreadInput());

    std::size_t ends = 0;
    const std::string& t = platform.Transcript();
    for (std::size_t start = 0; start < t.size();) {
        std::size_t stop = t.find('\n', start);
        std::string line = t.substr(start, stop - start);
        start = stop + 1;
        if (line.rfind("END\t", 0) == 0) {
            ++ends;
            if (line != "END\tcompleted" && line != "END\tcancelled" && line.rfind("END\tfailed\t", 0) != 0)
                return "a run ended otherwise: " + line;
        } else if (line.rfind("TEXT\tText", 0) == 0) {
            int field = std::atoi(line.c_str() + 9);
            std::string text = line.substr(line.find('\t', 5) + 1);
            if (IsNumberField(field) && !ShowsOnlyNumbers(text)) return "a number field shows: " + line;
        }
    }
    if (ends != runs) return "not one END per run";

    if (state.LastRunCompleted) {
        ReportPrinter(state, platform);
        for (const ReportLine& l : platform.PrintedReport().lines)
            for (std::size_t i = 0; i < l.items.size(); ++i) {
                // anything typed: a result line's name, and the name after "最弱点："
                bool pointName = (i == 0 && l.items.size() == 5 && l.items[i].stop == 24) ||
                                 (i == 1 && l.items[0].text == "最弱点：");
                if (!pointName && !ShowsOnlyNumbers(l.items[i].text)) return "a report item shows: " + l.items[i].text;
            }
    }
    return {};
}
