#pragma once
// The journal of a run: the values confirmed so far, as an observation file
// written value by value. Each value is on the disk (written and synced)
// before the next box opens, so a crash, a kill or a power cut loses at most
// the value being typed. A window writes once before each box (Update with
// sync false, then Sync): the values of a file taken without their prompts,
// thousands of them, reach the disk together instead of one by one. The file has no end mark: a last line without its
// line end was cut by a crash and is not read.
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "files/ObservationFile.h"

class Journal {
public:
    explicit Journal(std::string path) : path_(std::move(path)) {}
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    const std::string& Path() const { return path_; }
    std::size_t Written() const { return written_; }

    // A new run: its first value starts the file anew.
    void Start();

    // Brings the file up to the record: appends the values confirmed since the
    // last call, or writes the file anew when values were dropped (a refused
    // pair asked again). Returns the reason when the file cannot be written.
    // sync false: held, written and on the disk at the next Sync (written
    // without it once 64 KiB are held, and when the journal closes).
    std::optional<std::string> Update(const ObservationRecord& record, bool sync = true);
    // Every value so far written and on the disk (nothing to do where it is).
    std::optional<std::string> Sync();
    // Writes the file anew with the record: values edited in place (the
    // observation table), also values the dialogue's rules refuse and values
    // missing between others.
    std::optional<std::string> Replace(const ObservationRecord& record);
    // The run completed: nothing to keep.
    void Remove();

private:
    std::string path_;
    int fd_ = -1;
    std::size_t written_ = 0;  // values in the file
    int K_ = -1;               // unknown-point count, once the names begin
    bool unsynced_ = false;    // values written since the last sync
    std::string held_;         // lines of values not yet written
    static constexpr std::size_t HELD_LIMIT = 65536;

    std::optional<std::string> Rewrite(const ObservationRecord& record);
    std::optional<std::string> Append(std::string_view bytes, bool sync);
    std::optional<std::string> Hand();  // the held lines to the file, unsynced
    void Close();
};

// The record of a journal: an incomplete record of the values in the file.
// A journal the observation table wrote may hold values the rules refuse or
// miss some between others: it is read value by value as it was written.
std::variant<ObservationRecord, FileError> ReadJournal(std::string_view bytes);
