#pragma once
// A throwaway CUPS scheduler for the printer tests and the benchmark: its
// own configuration, spool, state, cache, log and temporary directories
// under a temporary folder, listening on a Unix socket there and nowhere
// else, with a backend of its own ("sqfail") that reports an empty paper
// tray and stops its queue. The CUPS tools run against it with CUPS_SERVER
// pointing at that socket and a home and client configuration of their
// own, so neither this machine's scheduler nor its settings are touched.
// The server is stopped by the process id it was started with.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace cupstest {

namespace fs = std::filesystem;

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const fs::path& path, const std::string& text, fs::perms mode = fs::perms(0644)) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    fs::permissions(path, mode);
}

// A small PostScript printer description: Letter and A4, 600x300 dpi by
// default, colour and two-sided printing.
inline constexpr const char* kTestPpd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SQTEST.PPD"
*Manufacturer: "Sysquill"
*Product: "(Test Printer)"
*ModelName: "Sysquill Test Printer"
*ShortNickName: "Sysquill Test Printer"
*NickName: "Sysquill Test Printer, 1.0"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion Letter/US Letter: "<</PageSize[612 792]>>setpagedevice"
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea Letter/US Letter: "18 36 594 756"
*ImageableArea A4/A4: "18 36 577 806"
*DefaultPaperDimension: A4
*PaperDimension Letter/US Letter: "612 792"
*PaperDimension A4/A4: "595 842"
*OpenUI *Resolution/Resolution: PickOne
*OrderDependency: 10 AnySetup *Resolution
*DefaultResolution: 600x300dpi
*Resolution 600x300dpi/600x300 DPI: "<</HWResolution[600 300]>>setpagedevice"
*Resolution 1200dpi/1200 DPI: "<</HWResolution[1200 1200]>>setpagedevice"
*CloseUI: *Resolution
*OpenUI *Duplex/2-Sided Printing: PickOne
*OrderDependency: 10 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Off: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Long Edge: "<</Duplex true/Tumble false>>setpagedevice"
*CloseUI: *Duplex
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
)PPD";

class Cupsd {
public:
    // Empty when the server runs; otherwise why it cannot.
    const std::string& SkipReason() const { return FSkip; }
    const fs::path& Dir() const { return FDir; }
    std::string Socket() const { return (FDir / "cups.sock").string(); }
    fs::path Ppd() const { return FDir / "test.ppd"; }

    // `limits` go into the server's policy before its catch-all, to make
    // some operations ask for authentication ("<Limit Get-Jobs> ...").
    explicit Cupsd(const std::string& limits = "") {
        for (const char* tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsdisable", "/usr/bin/lp",
                                 "/usr/bin/lpstat", "/usr/bin/cancel"})
            if (access(tool, X_OK) != 0) {
                FSkip = std::string(tool) + " is not installed (cups-daemon and cups-client)";
                return;
            }
        if (getuid() != 0) {
            FSkip = "cupsd runs its backends as user lp, which takes root";
            return;
        }
        char pattern[] = "/tmp/sqcupsd-XXXXXX";
        if (!mkdtemp(pattern)) {
            FSkip = "no temporary directory";
            return;
        }
        FDir = pattern;
        // The scheduler's children run as lp and must reach their backend.
        fs::permissions(FDir, fs::perms(0755));
        for (const char* sub : {"conf", "spool", "state", "cache", "log", "tmp", "home", "client", "bin/backend"})
            fs::create_directories(FDir / sub);
        for (const char* sub : {"bin", "bin/backend"}) fs::permissions(FDir / sub, fs::perms(0755));
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/usr/lib/cups", ec))
            if (entry.path().filename() != "backend")
                fs::create_symlink(entry.path(), FDir / "bin" / entry.path().filename(), ec);
        for (const auto& entry : fs::directory_iterator("/usr/lib/cups/backend", ec))
            fs::create_symlink(entry.path(), FDir / "bin/backend" / entry.path().filename(), ec);
        WriteText(FDir / "bin/backend/sqfail",
                  "#!/bin/sh\n"
                  "if [ $# -eq 0 ]; then echo 'direct sqfail \"Unknown\" \"Sysquill failing device\"'; exit 0; fi\n"
                  "cat > /dev/null\n"
                  "echo 'STATE: +media-empty-error' >&2\n"
                  "echo 'ERROR: Out of paper' >&2\n"
                  "exit 4\n",
                  fs::perms(0755));
        WriteText(FDir / "test.ppd", kTestPpd);
        WriteText(FDir / "client/client.conf", "ServerName " + Socket() + "\n");
        WriteText(FDir / "conf/cupsd.conf",
                  "Listen " + Socket() +
                      "\n"
                      "Browsing No\nBrowseLocalProtocols none\nDefaultShared No\n"
                      "WebInterface No\nLogLevel warn\nAccessLogLevel all\nMaxJobs 0\nPreserveJobHistory Yes\n"
                      "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                      "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                      "<Policy default>\n" +
                      limits +
                      "  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                      "</Policy>\n");
        const std::string d = FDir.string();
        WriteText(FDir / "conf/cups-files.conf",
                  "ServerRoot " + d + "/conf\nRequestRoot " + d + "/spool\nStateDir " + d + "/state\nCacheDir " + d +
                      "/cache\nTempDir " + d + "/tmp\nServerBin " + d + "/bin\nErrorLog " + d +
                      "/log/error_log\nAccessLog " + d + "/log/access_log\nPageLog " + d + "/log/page_log\nPrintcap " +
                      d + "/state/printcap\nFileDevice Yes\nSystemGroup root\nUser lp\nGroup lp\n");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, (FDir / "log/cupsd.out").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string conf = d + "/conf/cupsd.conf", files = d + "/conf/cups-files.conf";
        std::vector<char*> argv = {const_cast<char*>("/usr/sbin/cupsd"),
                                   const_cast<char*>("-f"),
                                   const_cast<char*>("-c"),
                                   conf.data(),
                                   const_cast<char*>("-s"),
                                   files.data(),
                                   nullptr};
        std::vector<std::string> env = Environment();
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) FPid = -1;
        posix_spawn_file_actions_destroy(&actions);
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (FPid > 0 && !Listening() && std::chrono::steady_clock::now() < until) {
            if (waitpid(FPid, nullptr, WNOHANG) == FPid) {
                FPid = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (FPid <= 0 || !Listening())
            FSkip = "cupsd did not start: " + ReadText(FDir / "log/cupsd.out") + ReadText(FDir / "log/error_log");
    }

    ~Cupsd() {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
        std::error_code ignored;
        if (!FDir.empty()) fs::remove_all(FDir, ignored);
    }

    Cupsd(const Cupsd&) = delete;
    Cupsd& operator=(const Cupsd&) = delete;

    // The environment of a CUPS client of this server only: its socket, a
    // home and a client configuration of its own, the C locale, UTC.
    std::vector<std::string> Environment() const {
        return {"CUPS_SERVER=" + Socket(),
                "CUPS_SERVERROOT=" + (FDir / "client").string(),
                "HOME=" + (FDir / "home").string(),
                "PATH=/usr/sbin:/usr/bin:/sbin:/bin",
                "LC_ALL=C",
                "LANG=C",
                "TZ=UTC"};
    }

    // Runs a CUPS tool against this server; its exit status (-1 when it
    // could not run), its output and errors in output.
    int Tool(const std::vector<std::string>& args, std::string* output = nullptr) const {
        const fs::path out = FDir / "log" / ("tool-" + std::to_string(++FRuns) + ".out");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> env = Environment();
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        pid_t pid = -1;
        const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) return -1;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (output) *output = ReadText(out);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // How many requests of an IPP operation ("Get-Jobs") the server has
    // answered, from its access log.
    size_t Requests(const std::string& operation) const {
        std::istringstream log(ReadText(FDir / "log/access_log"));
        size_t count = 0;
        for (std::string line; std::getline(log, line);)
            if (line.find(" " + operation + " ") != std::string::npos) ++count;
        return count;
    }

    // Waits until the tool's output contains text; false after ten seconds.
    bool WaitFor(const std::vector<std::string>& args, const std::string& text) const {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string output;
        while (std::chrono::steady_clock::now() < until) {
            if (Tool(args, &output) == 0 && output.find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

private:
    bool Listening() const {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        const std::string path = Socket();
        if (path.size() >= sizeof addr.sun_path) {
            close(fd);
            return false;
        }
        path.copy(addr.sun_path, path.size());
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        close(fd);
        return ok;
    }

    std::string FSkip;
    fs::path FDir;
    pid_t FPid = -1;
    mutable int FRuns = 0;
};

}  // namespace cupstest
