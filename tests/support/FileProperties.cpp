#include "support/FileProperties.h"

#include <algorithm>
#include <string_view>

#include "files/ObservationFile.h"
#include "files/ReductionKeys.h"
#include "files/RecordKeys.h"

std::string RecordDifference(const ObservationRecord& a, const ObservationRecord& b)
{
    if (a.complete != b.complete) return "complete differs";
    if (a.project != b.project) return "project differs";
    if (a.notes != b.notes) return "notes differ";
    if (a.sigma0Mm != b.sigma0Mm) return "sigma0 differs";
    if (a.edmAMm != b.edmAMm || a.edmBPpm != b.edmBPpm) return "the distance meter's accuracy differs";
    if (a.orientationSigmaSec != b.orientationSigmaSec) return "the orientation angle's sigma differs";
    if (a.sideSigmaMm != b.sideSigmaMm) return "a side's own sigma differs";
    if (a.grade != b.grade) return "grade differs";
    if (ReductionEntries(a.reduction) != ReductionEntries(b.reduction)) return "reduction differs";
    if (a.values.size() != b.values.size())
        return "value count differs: " + std::to_string(a.values.size()) + " / " + std::to_string(b.values.size());
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        if (!(a.values[i].key == b.values[i].key)) return "key differs at value " + std::to_string(i);
        if (a.values[i].text != b.values[i].text) return "text of " + KeyLabel(a.values[i].key, -1) + " differs";
    }
    return "";
}

std::string CheckFileProperties(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto first = ReadObservationFile(bytes);
    if (const FileError* error = std::get_if<FileError>(&first)) {
        long lines = static_cast<long>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
        if (error->line < 0 || error->line > lines) return "an error names line " + std::to_string(error->line);
        if (error->message.empty()) return "an error without message";
        return "";
    }
    const ObservationRecord& record = std::get<ObservationRecord>(first);
    std::string written = WriteObservationFile(record);
    auto second = ReadObservationFile(written);
    if (const FileError* error = std::get_if<FileError>(&second))
        return "the written file does not read: " + FormatFileError(*error);
    std::string difference = RecordDifference(record, std::get<ObservationRecord>(second));
    if (!difference.empty()) return "the written file reads otherwise: " + difference;
    if (WriteObservationFile(std::get<ObservationRecord>(second)) != written) return "a second write differs";
    return "";
}
