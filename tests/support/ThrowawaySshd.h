#pragma once
// A throwaway OpenSSH server on 127.0.0.1 for the remote tests and the
// benchmark: its own host and user keys, known_hosts and client config, and
// a bin directory that stands first on the PATH of remote commands, where
// a test puts sysquill-agent (the real one, a fake, or nothing).
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "remote/SshTransport.h"

extern char** environ;

namespace sshtest {

// The built sysquill-agent, empty when the test target was built without it.
#ifdef SYSQUILL_AGENT
inline constexpr const char* kAgentProgram = SYSQUILL_AGENT;
#else
inline constexpr const char* kAgentProgram = "";
#endif

namespace fs = std::filesystem;

// Runs a program without a shell; returns its exit status (-1 when it could
// not run). Output goes to outFile, or nowhere.
inline int Run(const std::vector<std::string>& args, const std::string& outFile = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const fs::path& path, const std::string& text, bool executable = false) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0600));
}

// A TCP port on 127.0.0.1 that nothing listens on right now.
inline int FreePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        return -1;
    }
    close(fd);
    return ntohs(addr.sin_port);
}

inline bool Listening(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

class Sshd {
public:
    static constexpr const char* kAlias = "sqtest";

    // Empty when the server runs; otherwise why it cannot.
    const std::string& SkipReason() const { return FSkip; }
    int Port() const { return FPort; }
    const fs::path& Dir() const { return FDir; }
    fs::path BinDir() const { return FDir / "bin"; }
    // The client config that reaches the server as "sqtest" or 127.0.0.1:port.
    std::string ClientConfig() const { return (FDir / "ssh_config").string(); }
    std::string User() const { return FUser; }

    Sshd() {
        for (const char* tool : {"/usr/sbin/sshd", "/usr/bin/ssh", "/usr/bin/ssh-keygen"})
            if (access(tool, X_OK) != 0) {
                FSkip = std::string(tool) + " is not installed (openssh-server and openssh-client)";
                return;
            }
        char pattern[] = "/tmp/sqsshd-XXXXXX";
        if (!mkdtemp(pattern)) {
            FSkip = "no temporary directory";
            return;
        }
        FDir = pattern;
        fs::create_directory(BinDir());
        if (const passwd* pw = getpwuid(getuid())) FUser = pw->pw_name;
        // As root, sshd wants its privilege separation directory.
        if (getuid() == 0 && !fs::exists("/run/sshd")) {
            mkdir("/run/sshd", 0755);
        }
        for (const char* key : {"host", "other_host", "user", "wrong_user"})
            if (Run({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-C", "sqtest", "-f", (FDir / key).string()}) !=
                0) {
                FSkip = "ssh-keygen failed";
                return;
            }
        WriteText(FDir / "authorized_keys", ReadText(FDir / "user.pub"));
        FPort = FreePort();
        WriteText(FDir / "known_hosts", KnownHost("host"));
        WriteText(FDir / "known_hosts_changed", KnownHost("other_host"));
        // Remote commands run as through a login shell whose PATH starts at bin/.
        WriteText(FDir / "run.sh",
                  "#!/bin/sh\nPATH=" + BinDir().string() +
                      ":/usr/bin:/bin\nexport PATH\nexec /bin/sh -c \"$SSH_ORIGINAL_COMMAND\"\n",
                  true);
        WriteText(FDir / "sshd_config", "ListenAddress 127.0.0.1:" + std::to_string(FPort) +
                                            "\n"
                                            "HostKey " +
                                            (FDir / "host").string() +
                                            "\n"
                                            "PidFile none\n"
                                            "AuthorizedKeysFile " +
                                            (FDir / "authorized_keys").string() +
                                            "\n"
                                            "StrictModes no\nUsePAM no\nUseDNS no\n"
                                            "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                                            "PubkeyAuthentication yes\nPermitRootLogin prohibit-password\n"
                                            "MaxStartups 100\nMaxSessions 100\nLogLevel INFO\n"
                                            "ForceCommand " +
                                            (FDir / "run.sh").string() + "\n");
        WriteClientConfig("ssh_config", "user", "known_hosts");
        WriteClientConfig("ssh_config_wrong_key", "wrong_user", "known_hosts");
        WriteClientConfig("ssh_config_changed_host", "user", "known_hosts_changed");
        if (Run({"/usr/sbin/sshd", "-t", "-f", (FDir / "sshd_config").string()}, (FDir / "sshd_check.log").string()) !=
            0) {
            FSkip = "sshd refuses its test config: " + ReadText(FDir / "sshd_check.log");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, (FDir / "sshd.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::string config = (FDir / "sshd_config").string();
        std::vector<char*> argv = {const_cast<char*>("/usr/sbin/sshd"),
                                   const_cast<char*>("-D"),
                                   const_cast<char*>("-e"),
                                   const_cast<char*>("-f"),
                                   config.data(),
                                   nullptr};
        if (posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), environ) != 0) FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (FPid > 0 && !Listening(FPort) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (FPid <= 0 || !Listening(FPort)) FSkip = "sshd did not start: " + ReadText(FDir / "sshd.log");
    }

    ~Sshd() {
        StopMasters();
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
        std::error_code ignored;
        if (!FDir.empty()) fs::remove_all(FDir, ignored);
    }

    Sshd(const Sshd&) = delete;
    Sshd& operator=(const Sshd&) = delete;

    // A transport config for this server, with a control directory of its own
    // so no connection is shared with an earlier test.
    remote::SshConfig Config(const std::string& clientConfig = {}) {
        fs::path control = FDir / ("ctl" + std::to_string(++FControlDirs));
        fs::create_directory(control);
        fs::permissions(control, fs::perms::owner_all);
        FControls.push_back(control);
        remote::SshConfig config;
        config.extraOptions = {"-F", clientConfig.empty() ? ClientConfig() : (FDir / clientConfig).string()};
        config.controlDir = control.string();
        return config;
    }

    // Puts a sysquill-agent script on the remote PATH (empty text: none).
    void InstallAgent(const std::string& script) {
        std::error_code ignored;
        fs::remove(BinDir() / "sysquill-agent", ignored);
        if (!script.empty()) WriteText(BinDir() / "sysquill-agent", "#!/bin/sh\n" + script, true);
    }

    // The real agent, reading root instead of the live machine.
    void InstallRealAgent(const std::string& agentBinary, const std::string& root, const std::string& extra = {}) {
        InstallAgent("exec " + agentBinary + " \"$@\" --root " + root + (extra.empty() ? "" : " " + extra) + "\n");
    }

    // Logins the server has accepted so far.
    int Accepted() const {
        std::string log = ReadText(FDir / "sshd.log");
        int count = 0;
        for (size_t at = log.find("Accepted publickey"); at != std::string::npos;
             at = log.find("Accepted publickey", at + 1))
            ++count;
        return count;
    }

    // Ends the ControlMaster processes of every config handed out.
    void StopMasters() {
        for (const auto& control : FControls)
            for (const char* cfg : {"ssh_config", "ssh_config_wrong_key", "ssh_config_changed_host"})
                if (fs::exists(control) && !fs::is_empty(control))
                    Run({"ssh", "-F", (FDir / cfg).string(), "-o",
                         "ControlPath=" + (control / "sysquill-ssh-%C").string(), "-O", "exit", kAlias});
        FControls.clear();
    }

private:
    std::string KnownHost(const char* key) const {
        std::string pub = ReadText(FDir / (std::string(key) + ".pub"));
        return "[127.0.0.1]:" + std::to_string(FPort) + " " + pub;
    }

    void WriteClientConfig(const char* name, const char* identity, const char* knownHosts) {
        WriteText(FDir / name, std::string("Host ") + kAlias + "\n  HostName 127.0.0.1\n  Port " +
                                   std::to_string(FPort) + "\nHost *\n  User " + FUser + "\n  IdentityFile " +
                                   (FDir / identity).string() + "\n  IdentitiesOnly yes\n  UserKnownHostsFile " +
                                   (FDir / knownHosts).string() +
                                   "\n  GlobalKnownHostsFile /dev/null\n  StrictHostKeyChecking yes\n"
                                   "  UpdateHostKeys no\n  CheckHostIP no\n");
    }

    std::string FSkip;
    fs::path FDir;
    std::string FUser = "root";
    int FPort = -1;
    pid_t FPid = -1;
    int FControlDirs = 0;
    std::vector<fs::path> FControls;
};

}  // namespace sshtest
