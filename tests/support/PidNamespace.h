#pragma once
// Runs a program (a test binary running one of its tests) as process 1 of a
// fresh user and PID namespace with its own /proc, so the test may start, end and reuse process ids (through
// /proc/sys/kernel/ns_last_pid) without touching any process of the machine.
// Everything started in there ends with it: the kernel kills what is left
// when process 1 of a PID namespace exits.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The exit status that says the namespace could not be made.
inline constexpr int kNoNamespace = 99;

namespace pidns {

inline bool WriteWhole(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

inline void SendAndExit(int fd, const std::string& text, int status) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::_exit(status);
}

}  // namespace pidns

// What a program said (standard output and error together) and its exit
// status, run as process 1 of the namespace with the given environment
// variable set; a fresh program, so nothing opened before (a /proc of the
// machine held open) leaks in. Nothing when this machine gives no user or
// PID namespaces (the reason in *why).
struct NamespaceRun {
    int status = -1;
    std::string output;
};

inline std::optional<NamespaceRun> RunInPidNamespace(const std::vector<std::string>& argv, const char* variable,
                                                     std::string* why) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        *why = "no pipe";
        return std::nullopt;
    }
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t outer = ::fork();
    if (outer < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        *why = "no fork";
        return std::nullopt;
    }
    if (outer == 0) {
        ::close(pipeFds[0]);
        // The forked copy has one thread, as a new user namespace requires.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWPID | CLONE_NEWNS) != 0)
            pidns::SendAndExit(pipeFds[1], "unshare: " + std::to_string(errno), kNoNamespace);
        pidns::WriteWhole("/proc/self/setgroups", "deny");
        if (!pidns::WriteWhole("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
            !pidns::WriteWhole("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
            pidns::SendAndExit(pipeFds[1], "no id map", kNoNamespace);
        const pid_t first = ::fork();
        if (first == 0) {
            if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
                pidns::SendAndExit(pipeFds[1], "mount: " + std::to_string(errno), kNoNamespace);
            ::setenv(variable, "1", 1);
            ::dup2(pipeFds[1], STDOUT_FILENO);
            ::dup2(pipeFds[1], STDERR_FILENO);
            ::execv(args[0], args.data());
            pidns::SendAndExit(pipeFds[1], "exec: " + std::to_string(errno), 127);
        }
        int status = 0;
        while (first > 0 && ::waitpid(first, &status, 0) < 0 && errno == EINTR) {
        }
        ::_exit(first > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : 126);
    }
    ::close(pipeFds[1]);
    NamespaceRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        run.output.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(outer, &status, 0) < 0 && errno == EINTR) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (run.status == kNoNamespace) {
        *why = "no user and PID namespace here (" + run.output + ")";
        return std::nullopt;
    }
    return run;
}

}  // namespace testsupport
