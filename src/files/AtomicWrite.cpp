#include "files/AtomicWrite.h"

#include "files/SystemErrorText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

std::string Reason(const std::string& what, const std::string& path, int error)
{
    return what + "「" + path + "」：" + SystemErrorText(error);
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file beside path, created here and nowhere else (O_EXCL); its mode is
// the old file's, or the usual one for a new file.
int CreateTemporary(const std::string& path, std::string& temporary)
{
    static std::atomic<unsigned> counter{0};
    mode_t mode = 0666;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// A device or a pipe (/dev/stdout, a FIFO) has no contents to keep and
// cannot be renamed over: the bytes go straight to it.
std::optional<std::string> WriteInPlace(const std::string& path, std::string_view bytes)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return Reason("无法打开以写入", path, errno);
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    if (::close(fd) != 0 && written) return Reason("无法写入", path, errno);
    if (!written) return Reason("无法写入", path, error);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::string& given, std::string_view bytes)
{
    struct stat st {};
    if (::stat(given.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return Reason("无法写入", given, EISDIR);
        return WriteInPlace(given, bytes);
    }
    // a link to a file: the file it names is replaced and the link stays
    std::string path = given;
    struct stat link {};
    if (::lstat(given.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        std::error_code ec;
        path = std::filesystem::weakly_canonical(given, ec).string();
        if (ec) return Reason("无法写入", given, ec.value());
    }
    std::string temporary;
    int fd = CreateTemporary(path, temporary);
    if (fd < 0) return Reason("无法在文件夹中建立临时文件以写入", path, errno);

    auto fail = [&](const std::string& what) {
        int error = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        return Reason(what, path, error);
    };
    if (!WriteAll(fd, bytes)) return fail("无法写入");
    if (::fsync(fd) != 0) return fail("无法写到磁盘上");
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail("无法写入");
    if (::rename(temporary.c_str(), path.c_str()) != 0) return fail("无法以新文件替换");

    // the rename itself is on the disk once the folder is
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}
