// trilat-adjust's PDF files, written by trilat-pdf: the program beside the
// running one, given the date and trilat-adjust's own arguments. Its standard
// output (a pipe) carries "FILE: reason" when a file cannot be written; its
// standard error is the command's.
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "adjust_command.h"
#include "adjust_pdf.h"
#include "files/SystemErrorText.h"

extern char** environ;

namespace {

// trilat-pdf in the folder of the running program (/proc/self/exe), else as
// the search path finds it.
std::string PdfProgram()
{
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "trilat-pdf";
    const std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "trilat-pdf";
}

}  // namespace

std::string WriteAdjustPdfs(const Arguments& a, int argc, char** argv, const std::string& date)
{
    std::string program = PdfProgram();
    std::string day = date;
    std::vector<char*> args{program.data(), day.data()};
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);

    const std::string first = PdfFilesOf(a).front();
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return first + ": " + SystemErrorText(errno);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    std::string said;
    if (started == 0) {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(pipe[0], buffer, sizeof buffer)) != 0) {
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            said.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(pipe[0]);
    if (started != 0) return first + ": 无法启动写 PDF 的程序 " + program + "：" + SystemErrorText(started);

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == COMPLETED) return {};
    while (!said.empty() && said.back() == '\n') said.pop_back();
    if (!said.empty()) return said;
    return first + ": 写 PDF 的程序 " + program + " 异常结束";
}
