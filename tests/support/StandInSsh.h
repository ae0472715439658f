#pragma once
// A program the transport spawns in place of the OpenSSH client (through
// SshConfig::sshProgram): it runs the far side's agent script at once, with
// no login and no network, so a test of how the client meets a misbehaving
// agent does not wait on an ssh handshake.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "remote/SshTransport.h"
#include "tests/support/ThrowawaySshd.h"

namespace sshtest {

class StandInSsh {
public:
    StandInSsh() {
        char pattern[] = "/tmp/sqstandin-XXXXXX";
        if (mkdtemp(pattern)) FDir = pattern;
        // As ssh: the channel is the command's input and output, it stays open
        // until the command ends (whatever the command does with its own
        // descriptors), and the command's status is this program's.
        WriteText(FDir / "ssh", "#!/bin/sh\n/bin/sh " + (FDir / "agent").string() + "\n", true);
    }
    ~StandInSsh() {
        std::error_code ignored;
        if (!FDir.empty()) fs::remove_all(FDir, ignored);
    }
    StandInSsh(const StandInSsh&) = delete;
    StandInSsh& operator=(const StandInSsh&) = delete;

    const fs::path& Dir() const { return FDir; }

    // The far side's sysquill-agent: a shell script.
    void InstallAgent(const std::string& script) { WriteText(FDir / "agent", script); }

    remote::SshConfig Config() const {
        remote::SshConfig config;
        config.sshProgram = (FDir / "ssh").string();
        config.controlMaster = false;
        return config;
    }

private:
    fs::path FDir;
};

}  // namespace sshtest
