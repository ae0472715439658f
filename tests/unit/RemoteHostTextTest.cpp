// Host texts, the ssh argument list and the reading of ssh's failures;
// none of these needs a server.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cimv2/core/WbemError.h"
#include "remote/HostText.h"
#include "remote/SshTransport.h"
#include "tests/support/ThrowawaySshd.h"
#include "wmi/WbemScripting.h"

using namespace remote;

namespace {

TEST(RemoteHostText, AcceptedFormsSplitIntoUserHostAndPort) {
    struct Case {
        const char* text;
        const char* user;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"server", "", "server", 0},
        {"build-01.lab.example.org", "", "build-01.lab.example.org", 0},
        {"my_alias", "", "my_alias", 0},
        {"192.168.1.20", "", "192.168.1.20", 0},
        {"192.168.1.20:2222", "", "192.168.1.20", 2222},
        {"admin@server", "admin", "server", 0},
        {"a.b-c_d@server:22", "a.b-c_d", "server", 22},
        {"[::1]", "", "::1", 0},
        {"[fe80::1:2]:65535", "", "fe80::1:2", 65535},
        {"root@[2001:db8::7]:1", "root", "2001:db8::7", 1},
        {"[::ffff:10.0.0.1]", "", "::ffff:10.0.0.1", 0},
    };
    for (const auto& c : cases) {
        SshTarget t = ParseHostText(c.text);
        EXPECT_EQ(t.user, c.user) << c.text;
        EXPECT_EQ(t.host, c.host) << c.text;
        EXPECT_EQ(t.port, c.port) << c.text;
    }
}

struct Refused {
    const char* text;
    const char* why;
};

const Refused kRefused[] = {
    {"-oProxyCommand=touch /tmp/owned", "begins with \"-\""},
    {"-p2222", "begins with \"-\""},
    {"--", "begins with \"-\""},
    {"-", "begins with \"-\""},
    {"admin@-oProxyCommand=x", "shell metacharacter '='"},
    {"admin@-host", "host name begins with \"-\""},
    {"-admin@host", "begins with \"-\""},
    {"my host", "contains a blank"},
    {"host\tx", "contains a blank"},
    {"host\n", "control character \\x0a"},
    {"host\x1b[31m", "control character \\x1b"},
    {"host;reboot", "shell metacharacter ';'"},
    {"host|nc", "shell metacharacter '|'"},
    {"host&", "shell metacharacter '&'"},
    {"$(id)", "shell metacharacter '$'"},
    {"`id`", "shell metacharacter '`'"},
    {"host>x", "shell metacharacter '>'"},
    {"h'o'st", "shell metacharacter '''"},
    {"h\"st", "shell metacharacter '\"'"},
    {"~root", "shell metacharacter '~'"},
    {"host%h", "shell metacharacter '%'"},
    {"h\\st", "shell metacharacter '\\'"},
    {"host*", "shell metacharacter '*'"},
    {"caf\xc3\xa9", "outside ASCII"},
    {"a@b@c", "more than one '@'"},
    {"@host", "user name is empty"},
    {"host:", "port must be a number"},
    {"host:0", "port must be a number"},
    {"host:65536", "port must be a number"},
    {"host:22x", "port must be a number"},
    {"fe80::1", "IPv6 address in brackets"},
    {"[::1", "lacks its closing ']'"},
    {"[host]", "brackets hold an IPv6 address"},
    {"[::1]x", "only \":port\" may follow"},
    {"[::g]", "IPv6 address contains 'g'"},
    {"host]", "']' without '['"},
    {"ssh://host", "port must be a number"},
    {"dir/host", "host name contains '/'"},
    {"host,other", "host name contains ','"},
};

TEST(RemoteHostText, RefusedTextsSayWhy) {
    for (const auto& r : kRefused) {
        try {
            ParseHostText(r.text);
            ADD_FAILURE() << "accepted " << r.text;
        } catch (const cimv2::WbemError& e) {
            EXPECT_EQ(e.Code(), cimv2::wbem::InvalidParameter) << r.text;
            EXPECT_NE(std::string(e.what()).find(r.why), std::string::npos) << r.text << ": " << e.what();
        }
    }
}

namespace fs = std::filesystem;

class RemoteSpawn : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sqspawn-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        FDir = pattern;
        // Stands in for ssh: records its arguments and fails as ssh does.
        sshtest::WriteText(FDir / "ssh",
                           "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " + (FDir / "args").string() +
                               "\necho 'ssh: connect to host far port 22: Connection refused' >&2\nexit 255\n",
                           true);
        fs::create_directory(FDir / "ctl");
        fs::permissions(FDir / "ctl", fs::perms::owner_all);
        SshConfig config;
        config.sshProgram = (FDir / "ssh").string();
        config.controlDir = (FDir / "ctl").string();
        config.extraOptions = {"-F", "/dev/null"};
        SetSshConfig(config);
        InstallSshTransport();
    }
    void TearDown() override {
        SetSshConfig({});
        wmi::SetRemoteConnector(nullptr);
        std::error_code ignored;
        fs::remove_all(FDir, ignored);
    }
    std::vector<std::string> RecordedArgs() {
        std::vector<std::string> lines;
        std::istringstream in(sshtest::ReadText(FDir / "args"));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    fs::path FDir;
};

TEST_F(RemoteSpawn, SshGetsSafetyOptionsThenDashDashThenHostThenTheFixedCommand) {
    const std::string ctl = "ControlPath=" + (FDir / "ctl").string() + "/sysquill-ssh-%C";
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"far", {"far"}},
        {"admin@far:2222", {"-p", "2222", "--", "admin@far"}},
        {"[fe80::2]:22", {"-p", "22", "--", "fe80::2"}},
    };
    for (const auto& [host, tail] : cases) {
        try {
            wmi::SWbemLocator().ConnectServer(host, "root\\cimv2");
            ADD_FAILURE() << "connected to " << host;
        } catch (const wmi::EOleException& e) {
            EXPECT_EQ(e.ErrorCode(), cimv2::wbem::RpcServerUnavailable);
            EXPECT_STREQ(e.what(), (std::string("Cannot reach \"") + host +
                                    "\": ssh: connect to host far port 22: Connection refused")
                                       .c_str());
        }
        std::vector<std::string> expected = {"-T",
                                             "-x",
                                             "-a",
                                             "-e",
                                             "none",
                                             "-o",
                                             "BatchMode=yes",
                                             "-o",
                                             "ConnectTimeout=10",
                                             "-o",
                                             "ServerAliveInterval=10",
                                             "-o",
                                             "ServerAliveCountMax=3",
                                             "-o",
                                             "ClearAllForwardings=yes",
                                             "-o",
                                             "PermitLocalCommand=no",
                                             "-o",
                                             "RemoteCommand=none",
                                             "-o",
                                             "ControlMaster=auto",
                                             "-o",
                                             ctl,
                                             "-o",
                                             "ControlPersist=60",
                                             "-F",
                                             "/dev/null"};
        if (tail.size() == 1) expected.push_back("--");
        expected.insert(expected.end(), tail.begin(), tail.end());
        expected.insert(expected.end(), {"sysquill-agent", "--stdio"});
        EXPECT_EQ(RecordedArgs(), expected) << host;
    }
}

TEST_F(RemoteSpawn, ControlMasterIsOffWithoutAPrivateDirectory) {
    SshConfig config = CurrentSshConfig();
    fs::permissions(FDir / "ctl", fs::perms(0777));
    std::vector<std::string> args = SshArguments(config, ParseHostText("far"));
    auto has = [&](const std::string& a) { return std::find(args.begin(), args.end(), a) != args.end(); };
    EXPECT_TRUE(has("ControlMaster=no"));
    EXPECT_TRUE(has("ControlPath=none"));
    EXPECT_FALSE(has("ControlMaster=auto"));
    config.controlMaster = false;
    fs::permissions(FDir / "ctl", fs::perms::owner_all);
    args = SshArguments(config, ParseHostText("far"));
    EXPECT_TRUE(has("ControlMaster=no"));
}

// ssh binds the master socket at the control path plus 17 characters; with
// "%C" as 40 hex digits the whole must fit a Unix socket path (107 bytes).
TEST_F(RemoteSpawn, ControlDirectoryTooLongForASocketPathIsNotUsed) {
    const struct {
        size_t length;
        bool used;
    } cases[] = {{36, true}, {37, false}, {45, false}, {50, false}};
    for (const auto& c : cases) {
        std::string dir = (FDir / "c").string();
        ASSERT_LE(dir.size() + 1, c.length);
        dir += "/" + std::string(c.length - dir.size() - 1, 'x');
        ASSERT_EQ(dir.size(), c.length);
        fs::create_directories(dir);
        fs::permissions(dir, fs::perms::owner_all);
        SshConfig config = CurrentSshConfig();
        config.controlDir = dir;
        std::vector<std::string> args = SshArguments(config, ParseHostText("far"));
        const std::string path = "ControlPath=" + dir + "/sysquill-ssh-%C";
        const bool used = std::find(args.begin(), args.end(), path) != args.end();
        EXPECT_EQ(used, c.used) << c.length;
        if (!c.used) {
            EXPECT_NE(std::find(args.begin(), args.end(), "ControlPath=none"), args.end()) << c.length;
        } else {
            // What ssh binds: the path with %C expanded and its temporary suffix.
            EXPECT_LE(dir.size() + std::string("/sysquill-ssh-").size() + 40 + 17, 107u);
        }
    }
}

TEST_F(RemoteSpawn, RefusedHostTextsSpawnNothing) {
    size_t before = SshSpawnCount();
    for (const auto& r : kRefused) {
        try {
            wmi::SWbemLocator().ConnectServer(r.text, "root\\cimv2");
            ADD_FAILURE() << "connected to " << r.text;
        } catch (const wmi::EOleException& e) {
            EXPECT_EQ(e.ErrorCode(), cimv2::wbem::InvalidParameter) << r.text;
            EXPECT_NE(std::string(e.what()).find(r.why), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(SshSpawnCount(), before);
    EXPECT_FALSE(fs::exists(FDir / "args"));
}

TEST_F(RemoteSpawn, MissingSshProgramIsAnUnreachableHost) {
    SshConfig config = CurrentSshConfig();
    config.sshProgram = (FDir / "no-such-ssh").string();
    SetSshConfig(config);
    try {
        OpenSshBackend("far");
        FAIL() << "connected";
    } catch (const cimv2::WbemError& e) {
        EXPECT_EQ(e.Code(), cimv2::wbem::RpcServerUnavailable);
        EXPECT_NE(std::string(e.what()).find("could not be started (No such file or directory)"), std::string::npos)
            << e.what();
    }
}

TEST(RemoteSshFailure, SshExitAndWordsMapToAutomationErrors) {
    struct Case {
        int status;
        const char* stderrText;
        uint32_t code;
        const char* message;
    };
    constexpr uint32_t kUnreachable = cimv2::wbem::RpcServerUnavailable;
    constexpr uint32_t kDenied = cimv2::wbem::ConnectAccessDenied;
    const Case cases[] = {
        {255, "ssh: Could not resolve hostname nowhere.invalid: Name or service not known\r\n", kUnreachable,
         "Cannot reach \"h\": ssh: Could not resolve hostname nowhere.invalid: Name or service not known"},
        {255, "ssh: connect to host 10.9.9.9 port 22: Connection timed out\n", kUnreachable,
         "Cannot reach \"h\": ssh: connect to host 10.9.9.9 port 22: Connection timed out"},
        {255, "ssh: connect to host 10.9.9.9 port 22: No route to host\n", kUnreachable, "No route to host"},
        {255, "", kUnreachable, "Cannot reach \"h\": ssh failed"},
        {255, "root@10.0.0.2: Permission denied (publickey).\r\n", kDenied,
         "Access denied by \"h\": root@10.0.0.2: Permission denied (publickey)."},
        {255,
         "No ED25519 host key is known for [h]:22 and you have requested strict checking.\n"
         "Host key verification failed.\n",
         kDenied, "Host key verification failed."},
        {255,
         "@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@\n"
         "@    WARNING: REMOTE HOST IDENTIFICATION HAS CHANGED!     @\n"
         "@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@@\n"
         "Host key for [h]:22 has changed and you have requested strict checking.\n",
         kDenied, "Access denied by \"h\": @    WARNING: REMOTE HOST IDENTIFICATION HAS CHANGED!     @; Host key"},
        {255, "Received disconnect from 10.0.0.2 port 22:2: Too many authentication failures\n", kDenied,
         "Too many authentication failures"},
        {127, "bash: line 1: sysquill-agent: command not found\n", kUnreachable,
         "sysquill-agent is not installed on \"h\""},
        {127, "sh: 1: sysquill-agent: not found\n", kUnreachable, "install the sysquill package there"},
        {126, "sh: 1: /opt/sysquill-agent: No such file or directory\n", kUnreachable,
         "sysquill-agent is not installed on \"h\""},
        {126, "sh: 1: /usr/local/bin/x: Permission denied\n", kUnreachable,
         "did not start: the remote command ended with status 126: sh: 1: /usr/local/bin/x: Permission denied"},
        {0, "", kUnreachable, "did not start: the remote command ended with status 0"},
        {-1, "", kUnreachable, "did not start: ssh was stopped"},
    };
    for (const auto& c : cases) {
        cimv2::WbemError e = SshFailure("h", c.status, c.stderrText);
        EXPECT_EQ(e.Code(), c.code) << c.stderrText;
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).find("@@@"), std::string::npos) << e.what();
    }
}

}  // namespace
