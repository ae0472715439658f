#include "cimv2/sources/ProcessActions.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "cimv2/sources/ProcFs.h"
#include "cimv2/sources/SystemRoot.h"

extern char** environ;

namespace cimv2 {

namespace {

using namespace processcode;

// A descriptor that stays with the process that had this id and start time
// when it was opened: a reused id fails the start-time check.
class PidFd {
public:
    PidFd(uint32_t pid, uint64_t startTicks) {
        FFd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
        if (FFd < 0) {
            FCode = errno == ESRCH ? PathNotFound : UnknownFailure;
            return;
        }
        const SystemRoot live;
        auto text = live.ReadFile("/proc/" + std::to_string(pid) + "/stat", 1u << 16);
        auto stat = text ? procfs::ParseStat(*text) : std::nullopt;
        if (!stat || stat->starttime != startTicks) FCode = PathNotFound;
    }
    ~PidFd() {
        if (FFd >= 0) ::close(FFd);
    }
    PidFd(const PidFd&) = delete;
    PidFd& operator=(const PidFd&) = delete;
    int Fd() const { return FFd; }
    uint32_t Code() const { return FCode; }

private:
    int FFd = -1;
    uint32_t FCode = Success;
};

uint32_t CodeOfErrno(int error) {
    switch (error) {
        case EPERM:
            return AccessDenied;
        case EACCES:
            return InsufficientPrivilege;
        case ESRCH:
        case ENOENT:
            return PathNotFound;
        default:
            return UnknownFailure;
    }
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program as execvp would find it, or nothing.
std::optional<std::string> FindProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? std::optional(name) : std::nullopt;
    const char* env = std::getenv("PATH");
    std::string_view path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    while (!path.empty()) {
        size_t colon = path.find(':');
        std::string dir(path.substr(0, colon));
        path = colon == std::string_view::npos ? std::string_view() : path.substr(colon + 1);
        if (dir.empty()) continue;  // never the current directory implicitly
        std::string candidate = dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

}  // namespace

uint32_t MachineActions::TerminateProcess(uint32_t pid, uint64_t startTicks) {
    if (pid <= 1 || pid == static_cast<uint32_t>(::getpid())) return AccessDenied;
    PidFd target(pid, startTicks);
    if (target.Code() != Success) return target.Code();
    if (::syscall(SYS_pidfd_send_signal, target.Fd(), SIGKILL, nullptr, 0) != 0) return CodeOfErrno(errno);
    return Success;
}

uint32_t MachineActions::SetProcessNice(uint32_t pid, uint64_t startTicks, int nice) {
    if (nice < -20 || nice > 19) return InvalidParameter;
    if (pid == 0) return AccessDenied;
    PidFd target(pid, startTicks);
    if (target.Code() != Success) return target.Code();
    // A nice value belongs to a thread: set it on each of them.
    const SystemRoot live;
    bool any = false;
    for (const auto& task : live.List("/proc/" + std::to_string(pid) + "/task")) {
        char* end = nullptr;
        long tid = std::strtol(task.c_str(), &end, 10);
        if (!end || *end || tid <= 0) continue;
        if (::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) != 0) {
            if (errno == ESRCH) continue;  // that thread ended meanwhile
            return CodeOfErrno(errno);
        }
        any = true;
    }
    return any ? Success : PathNotFound;
}

uint32_t MachineActions::CreateProcess(const std::vector<std::string>& argv, const std::string& currentDirectory,
                                       uint32_t& processId) {
    processId = 0;
    if (argv.empty() || argv.front().empty()) return InvalidParameter;
    // A NUL would end the argument early: the program started would not be the one asked for.
    auto holdsNul = [](const std::string& text) { return text.find('\0') != std::string::npos; };
    if (std::any_of(argv.begin(), argv.end(), holdsNul) || holdsNul(currentDirectory)) return InvalidParameter;
    auto program = FindProgram(argv.front());
    if (!program) return PathNotFound;
    if (!currentDirectory.empty()) {
        struct stat st {};
        if (::stat(currentDirectory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return PathNotFound;
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t files;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&files);
    posix_spawnattr_init(&attr);
    for (int fd = 0; fd <= 2; ++fd)
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    if (!currentDirectory.empty()) posix_spawn_file_actions_addchdir_np(&files, currentDirectory.c_str());
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // The program is started by a short-lived middle process, so it is
    // nobody's child here and never lingers as a zombie of the caller.
    int pipeFds[2];
    uint32_t code = UnknownFailure;
    if (::pipe2(pipeFds, O_CLOEXEC) == 0) {
        pid_t middle = ::fork();
        if (middle == 0) {
            pid_t child = 0;
            int rc = posix_spawn(&child, program->c_str(), &files, &attr, args.data(), environ);
            int32_t reply[2] = {rc, static_cast<int32_t>(child)};
            ssize_t ignored = ::write(pipeFds[1], reply, sizeof reply);
            (void)ignored;
            ::_exit(0);
        }
        ::close(pipeFds[1]);
        if (middle > 0) {
            int32_t reply[2] = {0, 0};
            ssize_t n;
            do {
                n = ::read(pipeFds[0], reply, sizeof reply);
            } while (n < 0 && errno == EINTR);
            int status = 0;
            while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
            }
            if (n == static_cast<ssize_t>(sizeof reply)) {
                if (reply[0] == 0 && reply[1] > 0) {
                    processId = static_cast<uint32_t>(reply[1]);
                    code = Success;
                } else {
                    code = CodeOfErrno(reply[0]);
                }
            }
        }
        ::close(pipeFds[0]);
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&files);
    return code;
}

}  // namespace cimv2
