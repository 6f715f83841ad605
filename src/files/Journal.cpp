#include "files/Journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "files/AtomicWrite.h"
#include "files/RecordLines.h"
#include "files/SystemErrorText.h"

Journal::~Journal() { Close(); }

void Journal::Close()
{
    Hand();  // a window closed between its boxes keeps what it took
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    unsynced_ = false;
}

static std::string SystemError(const std::string& what) { return what + "：" + SystemErrorText(errno); }

std::optional<std::string> Journal::Rewrite(const ObservationRecord& record)
{
    held_.clear();  // the record is written whole
    Close();
    written_ = 0;
    std::string bytes = WriteObservationHeader(record) + WriteValueLines(record, 0, K_);
    if (std::optional<std::string> error = WriteFileAtomically(path_, bytes)) return error;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) return SystemError(path_);
    unsynced_ = false;  // written whole and synced
    written_ = record.values.size();
    return std::nullopt;
}

std::optional<std::string> Journal::Append(std::string_view bytes, bool sync)
{
    held_.append(bytes);
    if (sync) return Sync();
    return held_.size() < HELD_LIMIT ? std::nullopt : Hand();
}

std::optional<std::string> Journal::Hand()
{
    // one write of whole lines
    std::string_view bytes = held_;
    while (fd_ >= 0 && !bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            held_.erase(0, held_.size() - bytes.size());
            return SystemError(path_);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        unsynced_ = true;
    }
    held_.clear();
    return std::nullopt;
}

std::optional<std::string> Journal::Sync()
{
    if (std::optional<std::string> error = Hand()) return error;
    if (fd_ < 0 || !unsynced_) return std::nullopt;
    if (::fdatasync(fd_) != 0) return SystemError(path_);
    unsynced_ = false;
    return std::nullopt;
}

std::optional<std::string> Journal::Update(const ObservationRecord& record, bool sync)
{
    const std::vector<TypedValue>& values = record.values;
    if (K_ < 0 && !values.empty() && values.back().key.kind == ValueKind::PointName)
        K_ = RecordUnknownPointCount(record);
    if (fd_ < 0 || values.size() < written_) return Rewrite(record);  // the first value, or values dropped
    if (values.size() == written_) return std::nullopt;
    std::string lines = WriteValueLines(record, written_, K_);
    if (std::optional<std::string> error = Append(lines, sync)) return error;
    written_ = values.size();
    return std::nullopt;
}

std::optional<std::string> Journal::Replace(const ObservationRecord& record)
{
    K_ = RecordUnknownPointCount(record);
    return Rewrite(record);
}

void Journal::Start()
{
    Close();
    written_ = 0;
    K_ = -1;
}

void Journal::Remove()
{
    held_.clear();
    Close();
    ::unlink(path_.c_str());
    written_ = 0;
}

std::variant<ObservationRecord, FileError> ReadJournal(std::string_view bytes)
{
    // a last line without its line end was cut while it was written
    std::size_t end = bytes.rfind('\n');
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(0, end + 1);
    std::string file(bytes);
    file += "未完成\n";
    std::variant<ObservationRecord, FileError> read = ReadObservationFile(file);
    if (std::holds_alternative<FileError>(read))
        if (std::optional<ObservationRecord> written = ReadValuesAsWritten(file)) return std::move(*written);
    return read;
}
