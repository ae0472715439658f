// A remote query over loopback SSH against the same query in process, and
// the first query to a host against a bare "ssh host true". Starts its own
// throwaway sshd (tests/support/ThrowawaySshd.h); the agent reads the live
// machine, as the in-process provider does.
#include <benchmark/benchmark.h>

#include <iostream>

#include "cimv2/provider/Provider.h"
#include "remote/SshTransport.h"
#include "tests/support/ThrowawaySshd.h"

namespace {

constexpr const char* kQuery = "SELECT * FROM Win32_PnPEntity";

sshtest::Sshd& Server() {
    static sshtest::Sshd server;
    static bool ready = [] {
        if (server.SkipReason().empty()) server.InstallRealAgent(SYSQUILL_AGENT, "/");
        return true;
    }();
    (void)ready;
    return server;
}

bool Usable(benchmark::State& state) {
    if (Server().SkipReason().empty()) return true;
    state.SkipWithError(Server().SkipReason().c_str());
    return false;
}

void BM_PnPEntityInProcess(benchmark::State& state) {
    cimv2::ProviderContext context;
    cimv2::Provider provider(context);
    size_t rows = 0;
    for (auto _ : state) rows = provider.ExecQuery(kQuery).instances.size();
    state.counters["instances"] = static_cast<double>(rows);
}
BENCHMARK(BM_PnPEntityInProcess)->Unit(benchmark::kMillisecond);

void BM_PnPEntityRemoteReused(benchmark::State& state) {
    if (!Usable(state)) return;
    remote::SetSshConfig(Server().Config());
    auto backend = remote::OpenSshBackend(sshtest::Sshd::kAlias);
    size_t rows = backend->ExecQuery(kQuery).instances.size();
    size_t spawned = remote::SshSpawnCount();
    for (auto _ : state) rows = backend->ExecQuery(kQuery).instances.size();
    state.counters["instances"] = static_cast<double>(rows);
    if (remote::SshSpawnCount() != spawned) state.SkipWithError("the connection was not reused");
    remote::CloseSshConnections();
    Server().StopMasters();
}
BENCHMARK(BM_PnPEntityRemoteReused)->Unit(benchmark::kMillisecond);

// Connect, hello and the query on a fresh connection (a fresh control
// directory each time, so no master connection is reused).
void BM_PnPEntityRemoteFirstQuery(benchmark::State& state) {
    if (!Usable(state)) return;
    for (auto _ : state) {
        state.PauseTiming();
        remote::SetSshConfig(Server().Config());
        state.ResumeTiming();
        benchmark::DoNotOptimize(remote::OpenSshBackend(sshtest::Sshd::kAlias)->ExecQuery(kQuery));
        state.PauseTiming();
        remote::CloseSshConnections();
        Server().StopMasters();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PnPEntityRemoteFirstQuery)->Unit(benchmark::kMillisecond)->Iterations(15);

// The same ssh options and host, running "true" instead of the agent.
void BM_SshTrue(benchmark::State& state) {
    if (!Usable(state)) return;
    remote::SshConfig config = Server().Config();
    config.controlMaster = false;
    std::vector<std::string> args = remote::SshArguments(config, remote::ParseHostText(sshtest::Sshd::kAlias));
    args.resize(args.size() - 2);
    args.push_back("true");
    for (auto _ : state)
        if (sshtest::Run(args) != 0) state.SkipWithError("ssh host true failed");
}
BENCHMARK(BM_SshTrue)->Unit(benchmark::kMillisecond)->Iterations(15);

}  // namespace

BENCHMARK_MAIN();
