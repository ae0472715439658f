// End to end over a throwaway sshd on 127.0.0.1: the real agent against the
// in-process provider, ssh's own failures, and fake agents that misbehave
// (behind the stand-in ssh, and the cases ssh takes part in behind sshd).
#include <gtest/gtest.h>

#include <filesystem>

#include "cimv2/core/ObjectText.h"
#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/MachineSources.h"
#include "cimv2/provider/Provider.h"
#include "remote/SshTransport.h"
#include "tests/support/RequiredService.h"
#include "tests/support/StandInSsh.h"
#include "tests/support/ThrowawaySshd.h"
#include "tests/unit/RemoteSample.h"
#include "wmi/WbemScripting.h"

using namespace remote;
using remotetest::FrameBytes;
using remotetest::HelloFrame;
using sshtest::Sshd;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSampleQuery = "SELECT * FROM Sq_Sample";

std::string SampleHeader() { return FrameBytes(FrameType::Header, HeaderPayload(remotetest::SampleSchema())); }

std::string SampleRecords(size_t count) {
    std::string out;
    auto instances = remotetest::SampleInstances();
    for (size_t n = 0; n < count; ++n)
        out += FrameBytes(FrameType::Record, RecordPayload(instances[n % instances.size()]));
    return out;
}

std::string GoodAnswer() {
    cimv2::QueryResult result;
    result.schema = &remotetest::SampleSchema();
    result.instances = remotetest::SampleInstances();
    std::string out = HelloFrame();
    AppendAnswer(out, result);
    return out;
}

std::vector<fs::path> FixtureTrees() {
    std::vector<fs::path> trees;
    for (const auto& entry : fs::directory_iterator(SYSQUILL_FIXTURES))
        if (fs::is_directory(entry.path() / "tree")) trees.push_back(entry.path() / "tree");
    std::sort(trees.begin(), trees.end());
    return trees;
}

class RemoteSsh : public ::testing::Test {
protected:
    static void SetUpTestSuite() { FServer = new Sshd(); }
    static void TearDownTestSuite() {
        delete FServer;
        FServer = nullptr;
    }
    void SetUp() override {
        if (!FServer->SkipReason().empty()) {
            SYSQUILL_SKIP_WITHOUT_SERVICE(FServer->SkipReason());
        }
        if (!*sshtest::kAgentProgram) GTEST_SKIP() << "sysquill-agent was not built";
    }
    void TearDown() override {
        SetSshConfig({});
        wmi::SetRemoteConnector(nullptr);
        FServer->StopMasters();
    }

    // A fake agent that sends these bytes, then reads its input to the end.
    void InstallFake(const std::string& bytes, const std::string& after = "exec cat >/dev/null\n") {
        sshtest::WriteText(FServer->Dir() / "reply.bin", bytes);
        FServer->InstallAgent("cat " + (FServer->Dir() / "reply.bin").string() + "\n" + after);
    }

    SshConfig SampleConfig(const std::string& clientConfig = {}) {
        SshConfig config = FServer->Config(clientConfig);
        config.findSchema = remotetest::SampleLookup;
        return config;
    }

    static Sshd* FServer;
};

Sshd* RemoteSsh::FServer = nullptr;

// Compares a remote answer with local answers taken just before and just
// after it. A value the two local answers agree on must come back the same
// remotely; one that moved between them (a clock, a counter read live) is
// not a fault of the transport. Returns how many values were compared.
size_t ExpectSameAsLocal(const cimv2::Provider& local, wmi::WbemBackend& backend, const std::string& query,
                         const std::string& what) {
    auto before = local.ExecQuery(query);
    auto remote = backend.ExecQuery(query);
    auto after = local.ExecQuery(query);
    EXPECT_EQ(remote.schema, before.schema) << what;
    EXPECT_EQ(remote.selected, before.selected) << what;
    // Why values are null travels too.
    EXPECT_EQ(remote.notes, before.notes) << what;
    if (before.instances.size() != after.instances.size()) return 0;
    EXPECT_EQ(remote.instances.size(), before.instances.size()) << what;
    if (remote.instances.size() != before.instances.size()) return 0;
    size_t compared = 0;
    for (size_t n = 0; n < before.instances.size(); ++n) {
        const auto& props = before.schema->Properties();
        for (size_t p = 0; p < props.size(); ++p) {
            const cimv2::Value& value = before.instances[n].values[p];
            if (!(value == after.instances[n].values[p])) continue;
            EXPECT_EQ(cimv2::WriteMofValue(remote.instances[n].values[p], props[p].type),
                      cimv2::WriteMofValue(value, props[p].type))
                << what << " instance " << n << " " << props[p].name;
            EXPECT_EQ(remote.instances[n].values[p].kind, value.kind)
                << what << " instance " << n << " " << props[p].name;
            ++compared;
        }
    }
    return compared;
}

TEST_F(RemoteSsh, RemotePathAnswersAsTheLocalPathForEveryClass) {
    size_t values = 0, classes = 0;
    // The tree read here as the programs read it, and by the agent with --root.
    cimv2::MachineSources thisComputer;
    for (const fs::path& tree : FixtureTrees()) {
        SetSshConfig(FServer->Config());
        FServer->InstallRealAgent(sshtest::kAgentProgram, tree.string());
        cimv2::Provider local(thisComputer.ContextFor(cimv2::SystemRoot(tree.string())));
        auto backend = OpenSshBackend(std::string(Sshd::kAlias));
        for (const auto& entry : cimv2::AllClasses()) {
            const cimv2::ClassSchema& schema = entry.schema();
            std::string all = "SELECT * FROM " + schema.Name();
            values += ExpectSameAsLocal(local, *backend, all, tree.string() + " " + all);
            // A select list and a WHERE on an unselected property travel too.
            std::string some = "SELECT " + schema.Properties().back().name + " FROM " + schema.Name() + " WHERE " +
                               schema.Properties().front().name + " IS NOT NULL";
            values += ExpectSameAsLocal(local, *backend, some, tree.string() + " " + some);
            ++classes;
        }
    }
    EXPECT_GT(classes, 0u);
    EXPECT_GT(values, 0u) << "no fixture gave any value to compare";
}

TEST_F(RemoteSsh, ScriptingInterfaceReachesTheAgentByAliasAndByAddress) {
    const fs::path tree = FixtureTrees().at(0);
    SetSshConfig(FServer->Config());
    FServer->InstallRealAgent(sshtest::kAgentProgram, tree.string());
    InstallSshTransport();
    cimv2::MachineSources thisComputer;
    const cimv2::ProviderContext context = thisComputer.ContextFor(cimv2::SystemRoot(tree.string()));
    // The first class with instances that stand still from one query to the next.
    auto objectTexts = [&](const cimv2::ClassEntry& entry) {
        std::vector<std::string> out;
        for (const auto& inst : cimv2::Provider(context).ExecQuery("SELECT * FROM " + entry.schema().Name()).instances)
            out.push_back(cimv2::WriteObjectText(inst));
        return out;
    };
    const cimv2::ClassEntry* cls = nullptr;
    for (const auto& entry : cimv2::AllClasses()) {
        auto first = objectTexts(entry);
        if (!first.empty() && first == objectTexts(entry)) {
            cls = &entry;
            break;
        }
    }
    ASSERT_NE(cls, nullptr);
    std::string query = "SELECT * FROM " + cls->schema().Name();
    auto local = cimv2::Provider(context).ExecQuery(query);
    for (std::string host : {std::string(Sshd::kAlias), "127.0.0.1:" + std::to_string(FServer->Port()),
                             FServer->User() + "@127.0.0.1:" + std::to_string(FServer->Port())}) {
        auto services = wmi::SWbemLocator().ConnectServer(host, "root\\CIMV2");
        auto set = services->ExecQuery(query, "WQL", wmi::wbemFlagForwardOnly);
        auto items = set->_NewEnum();
        std::vector<std::string> texts;
        wmi::OleVariant item;
        uint32_t fetched = 0;
        while (items->Next(1, &item, &fetched) == wmi::S_OK_) texts.push_back(item.AsObject()->GetObjectText_(0));
        ASSERT_EQ(texts.size(), local.instances.size()) << host;
        for (size_t n = 0; n < texts.size(); ++n) EXPECT_EQ(texts[n], cimv2::WriteObjectText(local.instances[n]));
    }
}

TEST_F(RemoteSsh, SecondQueryWithinAMinuteOpensNoNewConnection) {
    SetSshConfig(SampleConfig());
    InstallFake(GoodAnswer() + GoodAnswer().substr(HelloFrame().size()));
    size_t spawned = SshSpawnCount();
    int logins = FServer->Accepted();
    EXPECT_EQ(OpenSshBackend(Sshd::kAlias)->ExecQuery(kSampleQuery).instances.size(), 3u);
    EXPECT_EQ(OpenSshBackend(Sshd::kAlias)->ExecQuery(kSampleQuery).instances.size(), 3u);
    EXPECT_EQ(SshSpawnCount(), spawned + 1);
    EXPECT_EQ(FServer->Accepted(), logins + 1);
    // A program started anew within the minute has no agent to reuse, but ssh
    // reuses the master connection: a new ssh process, no new login.
    CloseSshConnections();
    EXPECT_EQ(OpenSshBackend(Sshd::kAlias)->ExecQuery(kSampleQuery).instances.size(), 3u);
    EXPECT_EQ(SshSpawnCount(), spawned + 2);
    EXPECT_EQ(FServer->Accepted(), logins + 1);
}

TEST_F(RemoteSsh, SshFailuresMapToAutomationErrors) {
    struct Case {
        const char* name;
        std::string clientConfig;
        std::string host;
        bool agent;
        uint32_t code;
        std::vector<std::string> messages;  // each part must appear
    };
    const std::string closedPort = "127.0.0.1:" + std::to_string(sshtest::FreePort());
    const Case cases[] = {
        {"unreachable port",
         {},
         closedPort,
         true,
         cimv2::wbem::RpcServerUnavailable,
         {"Cannot reach \"" + closedPort + "\": ", "Connection refused"}},
        {"wrong key",
         "ssh_config_wrong_key",
         Sshd::kAlias,
         true,
         cimv2::wbem::ConnectAccessDenied,
         {"Access denied by \"sqtest\": ", "Permission denied (publickey)"}},
        {"changed host key",
         "ssh_config_changed_host",
         Sshd::kAlias,
         true,
         cimv2::wbem::ConnectAccessDenied,
         {"Access denied by \"sqtest\": ", "REMOTE HOST IDENTIFICATION HAS CHANGED", "Host key verification failed"}},
        {"no agent on the far side",
         {},
         Sshd::kAlias,
         false,
         cimv2::wbem::RpcServerUnavailable,
         {"sysquill-agent is not installed on \"sqtest\"", "install the sysquill package there",
          "sysquill-agent: not found"}},
    };
    for (const auto& c : cases) {
        SetSshConfig(SampleConfig(c.clientConfig));
        if (c.agent)
            InstallFake(GoodAnswer());
        else
            FServer->InstallAgent("");
        try {
            OpenSshBackend(c.host);
            ADD_FAILURE() << c.name << ": connected";
        } catch (const cimv2::WbemError& e) {
            EXPECT_EQ(e.Code(), c.code) << c.name << ": " << e.what();
            for (const auto& part : c.messages)
                EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

// Fake agents that misbehave, each row once behind the stand-in ssh and, where
// ssh's own part matters (its exit status, its words, the end of the stream),
// once more behind the real sshd.
struct Misbehaviour {
    const char* name;
    std::string bytes;
    std::string after;  // the script once the bytes are out, given the far side's directory
    bool atConnect;
    uint32_t code;
    const char* message;
    bool throughSshd;
};

std::vector<Misbehaviour> Misbehaviours(const fs::path& dir) {
    ByteWriter badRecord;
    badRecord.U16(1), badRecord.U16(1), badRecord.Value(cimv2::Value::Text("seven"));
    const std::string hold = "exec cat >/dev/null\n";
    return {
        {"text instead of frames", "Welcome to the lab machine!\n", hold, true, kTransportFailure,
         "did not answer as sysquill-agent", true},
        {"binary garbage", std::string("\xff\xfe\xfdgarbage\0\1", 12), hold, true, kTransportFailure,
         "did not answer as sysquill-agent", false},
        {"other protocol version", HelloFrame(9), hold, true, kTransportFailure, "speaks protocol version 9", false},
        {"huge frame", HelloFrame() + std::string("\x7f\xff\xff\xff", 4), "exec cat /dev/zero\n", false,
         kTransportFailure, "A frame of 2147483647 bytes is over the limit of 4194304", false},
        {"endless data", HelloFrame() + SampleHeader(),
         "while cat " + (dir / "records.bin").string() + "; do :; done\n", false, kTransportFailure,
         "The answer from the agent is over the limit of 2097152 bytes", false},
        {"stalls before its hello", "", hold, true, cimv2::wbem::RpcServerUnavailable,
         "\"sqtest\" did not answer within 0.5 s; the connection was closed", false},
        {"stalls mid-answer", HelloFrame() + SampleHeader() + SampleRecords(1), hold, false,
         cimv2::wbem::RpcServerUnavailable, "sysquill-agent on \"sqtest\" stopped answering for 0.5 s", false},
        // A record of a million bytes, one byte at a time: never idle long
        // enough to time out, never done.
        {"trickles without end", HelloFrame() + SampleHeader() + std::string("\x00\x0f\x42\x40\x05", 5),
         "while printf x; do sleep 0.1; done\n", false, cimv2::wbem::RpcServerUnavailable,
         "The answer from \"sqtest\" took longer than 3 s; the connection was closed", false},
        {"dies mid-answer", HelloFrame() + SampleHeader() + SampleRecords(2), "exit 0\n", false, kTransportFailure,
         "The answer from \"sqtest\" was cut off: the connection ended", true},
        {"dies before its hello", "", "echo 'Segmentation fault' >&2; exit 139\n", true,
         cimv2::wbem::RpcServerUnavailable,
         "sysquill-agent on \"sqtest\" did not start: the remote command ended with status 139: Segmentation fault",
         true},
        {"record that does not fit",
         HelloFrame() + SampleHeader() + FrameBytes(FrameType::Record, badRecord.Bytes()) +
             FrameBytes(FrameType::End, EndPayload(1)),
         hold, false, kTransportFailure, "Sq_Sample.Count does not fit its type uint32", false},
        {"end marker that miscounts",
         HelloFrame() + SampleHeader() + SampleRecords(2) + FrameBytes(FrameType::End, EndPayload(3)), hold, false,
         kTransportFailure, "end marker counts 3 records, 2 arrived", false},
    };
}

// Runs one misbehaving agent behind farSide (the stand-in ssh or the real
// sshd: each has Dir() and InstallAgent()), then a good one, which must answer.
template <typename FarSide>
void ExpectErrorThenRecovery(FarSide& farSide, remote::SshConfig config, const Misbehaviour& c) {
    auto install = [&](const std::string& bytes, const std::string& after) {
        sshtest::WriteText(farSide.Dir() / "reply.bin", bytes);
        farSide.InstallAgent("cat " + (farSide.Dir() / "reply.bin").string() + "\n" + after);
    };
    config.findSchema = remotetest::SampleLookup;
    config.limits.maxAnswerBytes = 2u << 20;
    // Short only where the stall is the point: those agents never send another
    // byte, so however slow the machine, the outcome is the same.
    if (std::string_view(c.name) == "stalls before its hello") config.helloTimeout = std::chrono::milliseconds(500);
    if (std::string_view(c.name) == "stalls mid-answer") config.idleTimeout = std::chrono::milliseconds(500);
    // The deadline ends it whatever the speed: the answer it waits for is
    // never complete.
    if (std::string_view(c.name) == "trickles without end") config.deadline = std::chrono::milliseconds(3000);
    SetSshConfig(config);
    sshtest::WriteText(farSide.Dir() / "records.bin", SampleRecords(3000));
    install(c.bytes, c.after);
    bool connected = false;
    try {
        auto backend = OpenSshBackend(Sshd::kAlias);
        connected = true;
        auto result = backend->ExecQuery(kSampleQuery);
        ADD_FAILURE() << c.name << ": answered " << result.instances.size() << " instances";
    } catch (const cimv2::WbemError& e) {
        EXPECT_EQ(connected, !c.atConnect) << c.name << ": " << e.what();
        EXPECT_EQ(e.Code(), c.code) << c.name << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
    }
    // The broken connection is gone: the next query starts afresh, with the
    // usual patience, so that a slow start is not taken for the fault.
    config.helloTimeout = SshConfig().helloTimeout;
    config.idleTimeout = SshConfig().idleTimeout;
    config.deadline = SshConfig().deadline;
    SetSshConfig(config);
    install(GoodAnswer(), "exec cat >/dev/null\n");
    auto again = OpenSshBackend(Sshd::kAlias)->ExecQuery(kSampleQuery);
    ASSERT_EQ(again.instances.size(), 3u) << c.name;
    EXPECT_EQ(again.instances[0].values, remotetest::SampleInstances()[0].values) << c.name;
}

class RemoteStandIn : public ::testing::Test {
protected:
    void TearDown() override { SetSshConfig({}); }
};

TEST_F(RemoteStandIn, MisbehavingAgentsAreErrorsAndTheClientCarriesOn) {
    sshtest::StandInSsh farSide;
    ASSERT_FALSE(farSide.Dir().empty());
    for (const auto& c : Misbehaviours(farSide.Dir())) ExpectErrorThenRecovery(farSide, farSide.Config(), c);
}

// An agent of version 2 refuses a client of a newer version and says its
// own: the client asks again in that version, and the answer arrives.
TEST_F(RemoteStandIn, AnAgentOfAnOlderVersionIsAskedAgainInIt) {
    sshtest::StandInSsh farSide;
    ASSERT_FALSE(farSide.Dir().empty());
    const fs::path dir = farSide.Dir();
    cimv2::QueryResult result;
    result.schema = &remotetest::SampleSchema();
    result.instances = remotetest::SampleInstances();
    std::string good = HelloFrame(2);
    AppendAnswer(good, result, 2);
    sshtest::WriteText(dir / "good.bin", good);
    sshtest::WriteText(dir / "refusal.bin",
                       FrameBytes(FrameType::Error, ErrorPayload(kTransportFailure,
                                                                 "This sysquill-agent speaks protocol version 2, the "
                                                                 "client 3; install matching versions")));
    farSide.InstallAgent("if [ -e " + (dir / "refused").string() + " ]; then cat " + (dir / "good.bin").string() +
                         "; exec cat > " + (dir / "request.bin").string() + "; fi\ntouch " +
                         (dir / "refused").string() + "\ncat " + (dir / "refusal.bin").string() + "\nexit 1\n");
    SshConfig config = farSide.Config();
    config.findSchema = remotetest::SampleLookup;
    SetSshConfig(config);
    const size_t spawned = SshSpawnCount();
    const auto answer = OpenSshBackend(Sshd::kAlias)->ExecQuery(kSampleQuery);
    ASSERT_EQ(answer.instances.size(), 3u);
    EXPECT_EQ(answer.instances[0].values, remotetest::SampleInstances()[0].values);
    EXPECT_EQ(SshSpawnCount(), spawned + 2);
    // What the agent of version 2 was sent: a hello of its version.
    CloseSshConnections();
    MemoryFrameSource request(sshtest::ReadText(dir / "request.bin"), 1 << 20);
    EXPECT_EQ(DecodeHello(request.NextFrame()).version, 2);
}

TEST_F(RemoteSsh, MisbehavingAgentsBehindSshdAreErrorsAndTheClientCarriesOn) {
    size_t cases = 0;
    for (const auto& c : Misbehaviours(FServer->Dir())) {
        if (!c.throughSshd) continue;
        ExpectErrorThenRecovery(*FServer, FServer->Config(), c);
        ++cases;
    }
    EXPECT_GT(cases, 0u);
}

TEST_F(RemoteSsh, MethodCallsTravelAndAReadOnlyAgentRefusesThem) {
    // The first class with a method and a captured tree that has an instance of it.
    const cimv2::ClassEntry* cls = nullptr;
    fs::path tree;
    std::vector<cimv2::Instance> targets;
    for (const auto& entry : cimv2::AllClasses()) {
        if (!entry.invoke || entry.schema().Methods().empty()) continue;
        for (const fs::path& candidate : FixtureTrees()) {
            cimv2::ProviderContext probe;
            probe.root = cimv2::SystemRoot(candidate.string());
            targets = cimv2::Provider(probe).ExecQuery("SELECT * FROM " + entry.schema().Name()).instances;
            if (targets.empty()) continue;
            cls = &entry;
            tree = candidate;
            break;
        }
        if (cls) break;
    }
    if (!cls) GTEST_SKIP() << "no captured tree has an instance of a class with a method";
    cimv2::ProviderContext context;
    context.root = cimv2::SystemRoot(tree.string());
    cimv2::Provider local(context);
    const cimv2::MethodDef& method = cls->schema().Methods().front();
    cimv2::ParamList in;
    for (const auto& p : method.in)
        in.emplace_back(p.name, p.type == cimv2::CimType::String ? cimv2::Value::Text("sq-test")
                                                                 : cimv2::Coerce(cimv2::Value::UInt(0), p.type));
    // Without actions both sides refuse alike; what matters is that they agree.
    auto outcome = [&](auto&& call) -> std::string {
        try {
            std::string text;
            for (const auto& [name, value] : call()) text += name + "=" + value.ToText() + ";";
            return text;
        } catch (const cimv2::WbemError& e) {
            return "error " + std::to_string(e.Code()) + " " + e.what();
        }
    };
    std::string expected = outcome([&] { return local.ExecMethod(cls->schema().Name(), targets[0], method.name, in); });
    for (bool readOnly : {false, true}) {
        SetSshConfig(FServer->Config());
        FServer->InstallRealAgent(sshtest::kAgentProgram, tree.string(), readOnly ? "--read-only" : "");
        auto backend = OpenSshBackend(Sshd::kAlias);
        std::string got =
            outcome([&] { return backend->ExecMethod(cls->schema().Name(), targets[0], method.name, in); });
        if (readOnly)
            EXPECT_EQ(got, "error " + std::to_string(cimv2::wbem::AccessDenied) +
                               " Access denied: the agent on this computer is read-only and runs no methods");
        else
            EXPECT_EQ(got, expected);
    }
}

}  // namespace
