#pragma once
// The observation file: the values of one run as a UTF-8 text file a surveyor
// can read and edit (docs/observation-file.md describes the format).
//   trilat-observations 1
//   # a comment
//   工程名称 = 某某线三角锁
//   N = 2
//   Xa = 3400000.000
//   ...
//   点名 C = 基3
//   未完成            (only in the file of a run that did not complete)
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"

inline constexpr const char* kObservationFileFormat = "trilat-observations";
inline constexpr int kObservationFileVersion = 1;
// The longest line the reader takes [bytes]; the writer continues longer
// values on "+ =" lines.
inline constexpr std::size_t kMaxLineBytes = 4096;

struct FileError {
    int line = 0;  // 1 for the first line; 0 for the file as a whole
    std::string message;
    // The key of a value the dialogue's rules refuse ("Ya"), else empty; the
    // message then starts with the text found: "「3456007,04」：输入的不是数字…".
    std::string key = {};
};

// The record of the file, complete or incomplete, or what is wrong with the
// file. A value the dialogue would refuse is refused with its reason.
std::variant<ObservationRecord, FileError> ReadObservationFile(std::string_view bytes);

// A file read for its adjustment: the record, and for a complete file the
// chain its values make (every value read once, every triangle checked once,
// the file's a-priori standard error in the observations); for an incomplete
// one the label of the first value it lacks.
struct ChainFile {
    ObservationRecord record;
    std::optional<ChainInput> input;
    std::string missing;
    // A record whose reduction keys do not fit its chain (ChainOfRecord; the
    // reader refuses such a file at its line): the reason, else empty.
    std::string refused = {};
};
std::variant<ChainFile, FileError> ReadChainFile(std::string_view bytes);

// The chain of a record already read (the values read once more).
ChainFile ChainOfRecord(const ObservationRecord& record);

// "第 12 行：…", or the message alone for the file as a whole.
std::string FormatFileError(const FileError& error);

// The file of the record: what ReadObservationFile reads back to the same record.
std::string WriteObservationFile(const ObservationRecord& record);

// The same file in pieces, for a file written value by value (the journal):
// the header (format line, comments, project and notes), then the lines of
// values[from..] with their group comments. K is the record's unknown-point
// count (it names C among the point names; RecordUnknownPointCount gives it
// once the last side is in).
std::string WriteObservationHeader(const ObservationRecord& record);
std::string WriteValueLines(const ObservationRecord& record, std::size_t from, int K);
int RecordUnknownPointCount(const ObservationRecord& record);
