#pragma once
// What an export writer returns: the bytes of the file, or the reason it
// refuses (a text naming the point), never both. The writers do no file I/O.
#include <string>

struct ExportOutcome {
    std::string bytes;    // the whole file
    std::string refusal;  // empty when the export succeeded

    bool ok() const { return refusal.empty(); }
    static ExportOutcome Written(std::string bytes) { return {std::move(bytes), {}}; }
    static ExportOutcome Refused(std::string why) { return {{}, std::move(why)}; }
};
