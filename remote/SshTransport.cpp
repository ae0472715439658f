#include "remote/SshTransport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "cimv2/core/Wql.h"

extern char** environ;

namespace remote {

namespace {

using Clock = std::chrono::steady_clock;
using cimv2::WbemError;
namespace wbem = cimv2::wbem;

constexpr size_t kMaxStderr = 16u << 10;
constexpr std::chrono::milliseconds kExitGrace{2000};

std::atomic<size_t> gSpawned{0};

std::string Quoted(const std::string& host) { return "\"" + host + "\""; }

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// ssh's own words, on one line: banner lines of '@' dropped, lines joined.
std::string CleanStderr(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        if (line.empty() || line.find_first_not_of('@') == std::string::npos) continue;
        if (!out.empty()) out += "; ";
        out += line;
    }
    if (out.size() > 1000) out = out.substr(0, 1000) + "...";
    return out;
}

// A Unix socket path holds 107 bytes. ssh binds the master at the control
// path plus "." and 16 random characters, then renames it; "%C" expands to
// 40 hex digits. What is left for the directory:
constexpr size_t kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;
constexpr size_t kMaxControlDirLength =
    kMaxSocketPath - (std::string_view("/sysquill-ssh-").size() + 40 + std::string_view(".0123456789abcdef").size());

// A directory only this user can enter: a safe home for the control socket.
bool PrivateDirectory(const std::string& dir) {
    struct stat st {};
    return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

std::string ControlDirectory(const SshConfig& config) {
    std::vector<std::string> candidates;
    if (!config.controlDir.empty()) {
        candidates.push_back(config.controlDir);
    } else {
        if (const char* runtime = getenv("XDG_RUNTIME_DIR"); runtime && *runtime) candidates.push_back(runtime);
        candidates.push_back("/run/user/" + std::to_string(getuid()));
        std::string own = "/tmp/sysquill-" + std::to_string(getuid());
        mkdir(own.c_str(), 0700);
        candidates.push_back(own);
    }
    for (const auto& dir : candidates) {
        // ssh reads the path as a config word: no blanks, quotes or % tokens.
        if (dir.find_first_of(" \t\"'%") != std::string::npos || dir.size() > kMaxControlDirLength) continue;
        if (PrivateDirectory(dir)) return dir;
    }
    return {};
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// "30 s", "0.5 s": the idle timeout as a message shows it.
std::string Seconds(std::chrono::milliseconds ms) {
    long long count = ms.count();
    if (count % 1000 == 0) return std::to_string(count / 1000) + " s";
    return std::to_string(count / 1000) + "." + std::to_string((count % 1000) / 100) + " s";
}

int Remaining(Clock::time_point until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

class SshSession {
public:
    SshSession(std::string hostText, const SshTarget& target, const SshConfig& config)
        : FHost(std::move(hostText)), FConfig(config), FParser(config.limits.maxFrameBytes) {
        const std::vector<std::string> args = SshArguments(config, target);
        Frame first = Greet(args, kProtocolVersion);
        // An agent of version 2 or older refuses a newer client, naming its
        // own version: it is asked again in that one.
        if (auto older = RefusedVersion(first)) {
            Break();
            FBroken = false;
            FParser = FrameParser(config.limits.maxFrameBytes);
            FStderr.clear();
            first = Greet(args, *older);
        }
        Hello answer;
        try {
            answer = DecodeHello(first);
        } catch (const WbemError& e) {
            Break();
            if (first.type == FrameType::Error) throw;
            throw WbemError(kTransportFailure,
                            "The far side of " + Quoted(FHost) + " did not answer as sysquill-agent: " + e.what());
        }
        if (!SpeaksProtocol(answer.version)) {
            Break();
            throw WbemError(kTransportFailure, "sysquill-agent on " + Quoted(FHost) + " speaks protocol version " +
                                                   std::to_string(answer.version) + ", this program " +
                                                   std::to_string(kProtocolVersion) + "; install matching versions");
        }
        FHelloDone = true;
        FLastUsed = Clock::now();
    }

    ~SshSession() { Close(); }

    SshSession(const SshSession&) = delete;
    SshSession& operator=(const SshSession&) = delete;

    std::vector<cimv2::Instance> Query(const std::string& wql, const cimv2::ClassSchema& schema,
                                       std::vector<cimv2::SourceNote>& notes) {
        return Run(FrameType::Query, QueryPayload(wql),
                   [&](FrameSource& source) { return ReadQueryAnswer(source, schema, FConfig.limits, &notes); });
    }

    cimv2::ParamList Method(const cimv2::Instance& keys, const cimv2::MethodDef& method, const cimv2::ParamList& in) {
        return Run(FrameType::Method, MethodPayload(keys, method.name, in),
                   [&](FrameSource& source) { return ReadMethodAnswer(source, method); });
    }

    // Whether the next request may use this connection.
    bool Reusable() {
        if (FBroken || FPid < 0) return false;
        if (Clock::now() - FLastUsed > FConfig.keepFor) return false;
        // Between requests the agent says nothing: any byte or end of stream
        // means the connection is gone or out of step.
        pollfd p{FOut, POLLIN, 0};
        if (poll(&p, 1, 0) != 0) return false;
        return waitpid(FPid, nullptr, WNOHANG) == 0;
    }

    std::mutex& Lock() { return FUse; }

private:
    struct Source : FrameSource {
        SshSession& session;
        explicit Source(SshSession& s) : session(s) {}
        Frame NextFrame() override { return session.ReadFrame(); }
    };

    template <typename Read>
    auto Run(FrameType type, const std::string& payload, Read read) -> decltype(read(std::declval<FrameSource&>())) {
        if (FBroken) throw WbemError(wbem::RpcServerUnavailable, "The connection to " + Quoted(FHost) + " is closed");
        BeginRequest();
        std::string request;
        AppendFrame(request, type, payload);
        Send(request);
        Source source(*this);
        try {
            auto answer = read(source);
            FLastUsed = Clock::now();
            return answer;
        } catch (const WbemError& e) {
            // An error frame leaves the stream in step; anything else does not.
            if (e.Code() == kTransportFailure) Break();
            throw;
        }
    }

    // Starts ssh and the agent, says hello in this version; the first frame back.
    Frame Greet(const std::vector<std::string>& args, uint16_t version) {
        Spawn(args);
        BeginRequest();
        std::string hello;
        AppendFrame(hello, FrameType::Hello, HelloPayload("sysquill", version));
        Send(hello);
        return ReadFrame();
    }

    // The older version an agent refused this client's in, as its error
    // says: "This sysquill-agent speaks protocol version 2, the client 3".
    static std::optional<uint16_t> RefusedVersion(const Frame& frame) {
        if (frame.type != FrameType::Error) return std::nullopt;
        std::string message;
        try {
            ByteReader r(frame.payload);
            r.U32();
            message = r.String();
        } catch (const WbemError&) {
            return std::nullopt;
        }
        constexpr std::string_view kSaid = "This sysquill-agent speaks protocol version ";
        if (!message.starts_with(kSaid)) return std::nullopt;
        const size_t end = message.find(',', kSaid.size());
        if (end == std::string::npos || end == kSaid.size() || end - kSaid.size() > 4) return std::nullopt;
        unsigned version = 0;
        for (char c : std::string_view(message).substr(kSaid.size(), end - kSaid.size())) {
            if (c < '0' || c > '9') return std::nullopt;
            version = version * 10 + static_cast<unsigned>(c - '0');
        }
        if (version >= kProtocolVersion || !SpeaksProtocol(static_cast<uint16_t>(version))) return std::nullopt;
        return static_cast<uint16_t>(version);
    }

    void Spawn(const std::vector<std::string>& args) {
        int inPair[2], outPipe[2], errPipe[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inPair) != 0)
            throw WbemError(wbem::RpcServerUnavailable, std::string("Cannot start ssh: ") + strerror(errno));
        if (pipe2(outPipe, O_CLOEXEC) != 0) {
            ::close(inPair[0]), ::close(inPair[1]);
            throw WbemError(wbem::RpcServerUnavailable, std::string("Cannot start ssh: ") + strerror(errno));
        }
        if (pipe2(errPipe, O_CLOEXEC) != 0) {
            ::close(inPair[0]), ::close(inPair[1]), ::close(outPipe[0]), ::close(outPipe[1]);
            throw WbemError(wbem::RpcServerUnavailable, std::string("Cannot start ssh: ") + strerror(errno));
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, inPair[1], 0);
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD}) sigaddset(&defaults, sig);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        int rc = posix_spawnp(&FPid, argv[0], &actions, &attr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
        ::close(inPair[1]), ::close(outPipe[1]), ::close(errPipe[1]);
        FIn = inPair[0];
        FOut = outPipe[0];
        FErr = errPipe[0];
        if (rc != 0) {
            FPid = -1;
            CloseFd(FIn), CloseFd(FOut), CloseFd(FErr);
            throw WbemError(wbem::RpcServerUnavailable, "Cannot reach " + Quoted(FHost) + ": the OpenSSH client \"" +
                                                            args[0] + "\" could not be started (" + strerror(rc) + ")");
        }
        ++gSpawned;
    }

    // How long the far side may stay silent: the short idle timeout counts
    // only once the agent has said hello.
    std::chrono::milliseconds Patience() const { return FHelloDone ? FConfig.idleTimeout : FConfig.helloTimeout; }

    void BeginRequest() {
        FRequestStart = Clock::now();
        FDeadline = FRequestStart + FConfig.deadline;
    }

    void Send(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            pollfd p{FIn, POLLOUT, 0};
            const int untilDeadline = Remaining(FDeadline);
            const int patience = static_cast<int>(Patience().count());
            int ready = poll(&p, 1, std::min(untilDeadline, patience));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0 && untilDeadline <= patience) DeadlinePassed();
            if (ready == 0) TimedOut();
            ssize_t put = send(FIn, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (put < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (put <= 0) ChannelEnded();
            done += static_cast<size_t>(put);
        }
    }

    Frame ReadFrame() {
        for (;;) {
            std::optional<Frame> frame;
            try {
                frame = FParser.Next();
            } catch (const WbemError& e) {
                Break();
                if (FHelloDone) throw;
                throw WbemError(kTransportFailure, "The far side of " + Quoted(FHost) +
                                                       " did not answer as sysquill-agent (a login script that "
                                                       "prints text, or another program?): " +
                                                       e.what());
            }
            if (frame) return std::move(*frame);
            if (Clock::now() >= FDeadline) DeadlinePassed();
            pollfd fds[2] = {{FOut, POLLIN, 0}, {FErr, POLLIN, 0}};
            // Whichever comes first: the deadline (counted in whole
            // milliseconds, so it may be a fraction away when poll returns)
            // or the far side's silence.
            const int untilDeadline = Remaining(FDeadline);
            const int patience = static_cast<int>(Patience().count());
            int ready = poll(fds, FErr >= 0 ? 2 : 1, std::min(untilDeadline, patience));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0 && untilDeadline <= patience) DeadlinePassed();
            if (ready == 0) TimedOut();
            if (FErr >= 0 && fds[1].revents != 0) DrainStderr();
            if (fds[0].revents != 0) {
                char buffer[64 << 10];
                ssize_t got = ::read(FOut, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR) continue;
                if (got <= 0) ChannelEnded();
                FParser.Feed(buffer, static_cast<size_t>(got));
            }
        }
    }

    void DrainStderr() {
        char buffer[4096];
        ssize_t got = ::read(FErr, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) return;
        if (got <= 0) {
            CloseFd(FErr);
            return;
        }
        size_t room = kMaxStderr - std::min(kMaxStderr, FStderr.size());
        FStderr.append(buffer, std::min(room, static_cast<size_t>(got)));
    }

    [[noreturn]] void DeadlinePassed() {
        Break();
        throw WbemError(wbem::RpcServerUnavailable, "The answer from " + Quoted(FHost) + " took longer than " +
                                                        Seconds(FConfig.deadline) + "; the connection was closed");
    }

    [[noreturn]] void TimedOut() {
        Break();
        if (!FHelloDone)
            throw WbemError(wbem::RpcServerUnavailable, Quoted(FHost) + " did not answer within " +
                                                            Seconds(FConfig.helloTimeout) +
                                                            "; the connection was closed");
        throw WbemError(wbem::RpcServerUnavailable, "sysquill-agent on " + Quoted(FHost) + " stopped answering for " +
                                                        Seconds(FConfig.idleTimeout) + "; the connection was closed");
    }

    // The far side closed the stream: find out why from ssh's exit and words.
    [[noreturn]] void ChannelEnded() {
        CloseFd(FIn);
        CloseFd(FOut);
        auto until = Clock::now() + kExitGrace;
        while (FErr >= 0 && Clock::now() < until) {
            pollfd p{FErr, POLLIN, 0};
            if (poll(&p, 1, Remaining(until)) > 0) DrainStderr();
        }
        int status = Reap(until);
        FBroken = true;
        if (!FHelloDone) throw SshFailure(FHost, status, FStderr);
        std::string words = CleanStderr(FStderr);
        throw WbemError(kTransportFailure, "The answer from " + Quoted(FHost) + " was cut off: the connection ended" +
                                               (words.empty() ? std::string() : ": " + words));
    }

    // Waits for ssh until the given time, then stops it. Returns its exit
    // status, or -1 when it did not exit on its own.
    int Reap(Clock::time_point until) {
        if (FPid < 0) return -1;
        int status = 0;
        for (;;) {
            pid_t done = waitpid(FPid, &status, WNOHANG);
            if (done == FPid) break;
            if (done < 0 && errno != EINTR) {
                FPid = -1;
                return -1;
            }
            if (Clock::now() >= until) {
                kill(FPid, SIGKILL);
                while (waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
                }
                FPid = -1;
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Stops a connection whose stream can no longer be trusted.
    void Break() {
        FBroken = true;
        CloseFd(FIn);
        CloseFd(FOut);
        CloseFd(FErr);
        if (FPid > 0) kill(FPid, SIGTERM);
        Reap(Clock::now() + std::chrono::milliseconds(500));
    }

    // Ends a healthy connection: end of input lets the agent and ssh exit.
    void Close() {
        if (FIn >= 0) shutdown(FIn, SHUT_WR);
        auto until = Clock::now() + std::chrono::milliseconds(1000);
        while (FOut >= 0 && Clock::now() < until) {
            pollfd p{FOut, POLLIN, 0};
            if (poll(&p, 1, Remaining(until)) <= 0) break;
            char buffer[4096];
            if (::read(FOut, buffer, sizeof buffer) <= 0) break;
        }
        CloseFd(FIn);
        CloseFd(FOut);
        CloseFd(FErr);
        if (FPid > 0 && Reap(until) < 0 && FPid > 0) Break();
    }

    std::string FHost;
    SshConfig FConfig;
    FrameParser FParser;
    pid_t FPid = -1;
    int FIn = -1, FOut = -1, FErr = -1;
    std::string FStderr;
    bool FHelloDone = false;
    bool FBroken = false;
    Clock::time_point FRequestStart, FDeadline, FLastUsed;
    std::mutex FUse;
};

struct Pool {
    std::mutex lock;
    SshConfig config;
    std::map<std::string, std::shared_ptr<SshSession>> sessions;
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

std::shared_ptr<SshSession> Acquire(const std::string& hostText, const SshTarget& target) {
    Pool& pool = ThePool();
    std::vector<std::shared_ptr<SshSession>> stale;
    std::lock_guard<std::mutex> guard(pool.lock);
    std::shared_ptr<SshSession> found;
    for (auto it = pool.sessions.begin(); it != pool.sessions.end();) {
        std::unique_lock<std::mutex> use(it->second->Lock(), std::try_to_lock);
        bool keep = !use.owns_lock() || it->second->Reusable();
        if (keep && it->first == hostText) found = it->second;
        if (!keep) {
            use.unlock();
            stale.push_back(std::move(it->second));
            it = pool.sessions.erase(it);
        } else {
            ++it;
        }
    }
    stale.clear();
    if (found) return found;
    auto session = std::make_shared<SshSession>(hostText, target, pool.config);
    pool.sessions[hostText] = session;
    return session;
}

void Forget(const std::string& hostText, const std::shared_ptr<SshSession>& session) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    auto it = pool.sessions.find(hostText);
    if (it != pool.sessions.end() && it->second == session) pool.sessions.erase(it);
}

class SshBackend : public wmi::WbemBackend {
public:
    SshBackend(std::string hostText, SshTarget target) : FHost(std::move(hostText)), FTarget(std::move(target)) {}

    // Opens the connection now, so ConnectServer fails for a host it cannot reach.
    void Connect() { Acquire(FHost, FTarget); }

    cimv2::QueryResult ExecQuery(const std::string& wql) override {
        cimv2::WqlQuery parsed = cimv2::ParseWql(wql);
        const cimv2::ClassSchema* schema = CurrentSshConfig().findSchema(parsed.className);
        if (!schema) throw WbemError(wbem::InvalidClass, "Invalid class \"" + parsed.className + "\"");
        // The agent filters; the select list is applied again here so the
        // shape of the result is this side's own. Not the WHERE: it may name
        // properties the agent has already nulled.
        cimv2::WqlQuery shape = parsed;
        shape.where = nullptr;
        cimv2::BoundQuery bound(shape, *schema);
        std::vector<cimv2::SourceNote> notes;
        auto instances = WithSession([&](SshSession& s) { return s.Query(wql, *schema, notes); });
        cimv2::QueryResult result = cimv2::ApplyQuery(bound, std::move(instances));
        result.notes = std::move(notes);
        return result;
    }

    cimv2::ParamList ExecMethod(const std::string& className, const cimv2::Instance& keys, const std::string& method,
                                const cimv2::ParamList& in) override {
        const cimv2::ClassSchema* schema = CurrentSshConfig().findSchema(className);
        if (!schema || keys.schema != schema)
            throw WbemError(wbem::InvalidClass, "Invalid class \"" + className + "\"");
        const cimv2::MethodDef* def = schema->FindMethod(method);
        if (!def) throw WbemError(wbem::InvalidMethod, "Invalid method \"" + method + "\"");
        return WithSession([&](SshSession& s) { return s.Method(keys, *def, in); });
    }

private:
    template <typename F>
    auto WithSession(F&& f) -> decltype(f(std::declval<SshSession&>())) {
        auto session = Acquire(FHost, FTarget);
        std::lock_guard<std::mutex> use(session->Lock());
        try {
            return f(*session);
        } catch (const WbemError& e) {
            if (!session->Reusable()) Forget(FHost, session);
            throw;
        }
    }

    std::string FHost;
    SshTarget FTarget;
};

}  // namespace

void SetSshConfig(SshConfig config) {
    Pool& pool = ThePool();
    std::map<std::string, std::shared_ptr<SshSession>> old;
    {
        std::lock_guard<std::mutex> guard(pool.lock);
        pool.config = std::move(config);
        old.swap(pool.sessions);
    }
}

SshConfig CurrentSshConfig() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    return pool.config;
}

std::vector<std::string> SshArguments(const SshConfig& config, const SshTarget& target) {
    std::vector<std::string> args = {config.sshProgram,
                                     "-T",
                                     "-x",
                                     "-a",
                                     "-e",
                                     "none",
                                     "-o",
                                     "BatchMode=yes",
                                     "-o",
                                     "ConnectTimeout=" + std::to_string(config.connectTimeoutSeconds),
                                     "-o",
                                     "ServerAliveInterval=" + std::to_string(config.serverAliveIntervalSeconds),
                                     "-o",
                                     "ServerAliveCountMax=3",
                                     "-o",
                                     "ClearAllForwardings=yes",
                                     "-o",
                                     "PermitLocalCommand=no",
                                     "-o",
                                     "RemoteCommand=none"};
    std::string controlDir = config.controlMaster ? ControlDirectory(config) : std::string();
    if (!controlDir.empty()) {
        for (std::string option : {std::string("ControlMaster=auto"), "ControlPath=" + controlDir + "/sysquill-ssh-%C",
                                   "ControlPersist=" + std::to_string(config.controlPersistSeconds)})
            args.insert(args.end(), {"-o", option});
    } else {
        args.insert(args.end(), {"-o", "ControlMaster=no", "-o", "ControlPath=none"});
    }
    args.insert(args.end(), config.extraOptions.begin(), config.extraOptions.end());
    if (target.port > 0) args.insert(args.end(), {"-p", std::to_string(target.port)});
    args.push_back("--");
    args.push_back(target.user.empty() ? target.host : target.user + "@" + target.host);
    args.push_back("sysquill-agent");
    args.push_back("--stdio");
    return args;
}

cimv2::WbemError SshFailure(const std::string& hostText, int exitStatus, const std::string& stderrText) {
    std::string words = CleanStderr(stderrText);
    bool agentNamed = Contains(stderrText, "sysquill-agent");
    if (exitStatus == 127 || (exitStatus != 255 && agentNamed &&
                              (Contains(stderrText, "not found") || Contains(stderrText, "No such file"))))
        return WbemError(wbem::RpcServerUnavailable,
                         "sysquill-agent is not installed on " + Quoted(hostText) +
                             " (or not on the PATH of its login shell): install the sysquill package there, or copy "
                             "the sysquill-agent program to /usr/local/bin" +
                             (words.empty() ? std::string() : " [" + words + "]"));
    if (exitStatus == 255) {
        static constexpr std::string_view kAccess[] = {
            "Permission denied",
            "Host key verification failed",
            "REMOTE HOST IDENTIFICATION HAS CHANGED",
            "Too many authentication",
            "No supported authentication",
            "Authentication failed",
            "host key for",
            "Host key for",
            "UNPROTECTED PRIVATE KEY FILE",
        };
        for (std::string_view text : kAccess)
            if (Contains(stderrText, text))
                return WbemError(wbem::ConnectAccessDenied, "Access denied by " + Quoted(hostText) + ": " + words);
        return WbemError(wbem::RpcServerUnavailable,
                         "Cannot reach " + Quoted(hostText) + ": " + (words.empty() ? "ssh failed" : words));
    }
    std::string how = exitStatus < 0 ? std::string("ssh was stopped")
                                     : "the remote command ended with status " + std::to_string(exitStatus);
    return WbemError(wbem::RpcServerUnavailable, "sysquill-agent on " + Quoted(hostText) + " did not start: " + how +
                                                     (words.empty() ? std::string() : ": " + words));
}

std::shared_ptr<wmi::WbemBackend> OpenSshBackend(const std::string& hostText) {
    auto backend = std::make_shared<SshBackend>(hostText, ParseHostText(hostText));
    backend->Connect();
    return backend;
}

void CloseSshConnections() { SetSshConfig(CurrentSshConfig()); }

size_t SshSpawnCount() { return gSpawned.load(); }

}  // namespace remote
