#pragma once
// Remote computers over SSH: the OpenSSH client is spawned with a fixed
// argument list and talks to sysquill-agent on the far side. The user's
// ssh config, keys, agent and jump hosts apply as they do for ssh itself.
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "cimv2/core/WbemError.h"
#include "remote/HostText.h"
#include "remote/Protocol.h"
#include "wmi/WbemBackend.h"
#include "wmi/WbemScripting.h"

namespace remote {

// Set by the program (and by tests), never from user input.
struct SshConfig {
    std::string sshProgram = "ssh";
    // Placed after the safety options, before "--" (tests pass -F here).
    std::vector<std::string> extraOptions;
    int connectTimeoutSeconds = 10;
    int serverAliveIntervalSeconds = 10;
    // Until the agent's hello, ssh logs in and the agent starts: on a busy or
    // distant machine that takes long, so only this generous limit applies.
    std::chrono::milliseconds helloTimeout{120000};
    // After the hello, no byte from the far side for this long ends the request.
    std::chrono::milliseconds idleTimeout{30000};
    // However busy the stream, one request ends by then.
    std::chrono::milliseconds deadline{300000};
    bool controlMaster = true;
    // Where the ControlMaster socket lives; empty: the user's runtime directory.
    std::string controlDir;
    int controlPersistSeconds = 60;
    // How long an idle agent connection is kept for the next query.
    std::chrono::milliseconds keepFor{60000};
    Limits limits;
    SchemaLookup findSchema = RegistrySchema;
};

// Replaces the configuration and closes every kept connection.
void SetSshConfig(SshConfig config);
SshConfig CurrentSshConfig();

// The whole argument vector for ssh, program name first.
std::vector<std::string> SshArguments(const SshConfig& config, const SshTarget& target);

// The automation error for an ssh that ended before the agent answered.
cimv2::WbemError SshFailure(const std::string& hostText, int exitStatus, const std::string& stderrText);

// A backend for a host text; connects (or reuses a kept connection) at once
// so that an unreachable host fails here. Throws WbemError.
std::shared_ptr<wmi::WbemBackend> OpenSshBackend(const std::string& hostText);

// Ends every kept connection (the agents exit, ssh exits).
void CloseSshConnections();

// How many ssh processes this program has started.
size_t SshSpawnCount();

// Makes ConnectServer reach servers other than "." over SSH.
inline void InstallSshTransport() { wmi::SetRemoteConnector(&OpenSshBackend); }

}  // namespace remote
