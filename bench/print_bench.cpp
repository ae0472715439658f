// Printers and print jobs from a private cupsd with 50 queues and 500
// pending jobs: the provider's two queries (in process, and as the query
// tool run as a process) side by side with `lpstat -l -p -o` on the same
// server.
#include <benchmark/benchmark.h>

#include <iostream>
#include <string>

#include "cimv2/provider/Provider.h"
#include "cimv2/sources/CupsPrintServer.h"
#include "tests/support/ThrowawayCupsd.h"

namespace {

constexpr int kQueues = 50;
constexpr int kJobs = 500;

cupstest::Cupsd& Server() {
    static cupstest::Cupsd* server = [] {
        auto* s = new cupstest::Cupsd();
        if (!s->SkipReason().empty()) return s;
        const std::string doc = (s->Dir() / "doc.txt").string();
        cupstest::WriteText(doc, "benchmark page\n");
        std::vector<std::string> disable = {"cupsdisable"};
        for (int q = 0; q < kQueues; ++q) {
            const std::string name = "queue" + std::to_string(q);
            s->Tool({"lpadmin", "-p", name, "-E", "-v", "file:/dev/null", "-D", "Benchmark queue " + name, "-L",
                     "Floor " + std::to_string(q % 5)});
            disable.push_back(name);
        }
        // Stopped queues keep their jobs pending.
        s->Tool(disable);
        for (int j = 0; j < kJobs; ++j)
            s->Tool({"lp", "-d", "queue" + std::to_string(j % kQueues), "-t", "doc " + std::to_string(j), "-o", "raw",
                     doc});
        return s;
    }();
    return *server;
}

bool Ready(benchmark::State& state) {
    if (!Server().SkipReason().empty()) {
        state.SkipWithError(Server().SkipReason().c_str());
        return false;
    }
    return true;
}

void BM_ProviderPrintersAndJobs(benchmark::State& state) {
    if (!Ready(state)) return;
    cimv2::CupsPrintServer cups(Server().Socket(), false);
    cimv2::ProviderContext context;
    context.printing = &cups;
    cimv2::Provider provider(context);
    size_t printers = 0, jobs = 0;
    for (auto _ : state) {
        printers = provider.ExecQuery("SELECT * FROM Win32_Printer").instances.size();
        jobs = provider.ExecQuery("SELECT * FROM Win32_PrintJob").instances.size();
        benchmark::DoNotOptimize(printers + jobs);
    }
    state.counters["printers"] = static_cast<double>(printers);
    state.counters["jobs"] = static_cast<double>(jobs);
}
BENCHMARK(BM_ProviderPrintersAndJobs)->Unit(benchmark::kMillisecond);

void BM_ServerPrinters(benchmark::State& state) {
    if (!Ready(state)) return;
    cimv2::CupsPrintServer cups(Server().Socket(), false);
    for (auto _ : state) benchmark::DoNotOptimize(cups.Printers());
}
BENCHMARK(BM_ServerPrinters)->Unit(benchmark::kMillisecond);

void BM_ServerJobs(benchmark::State& state) {
    if (!Ready(state)) return;
    cimv2::CupsPrintServer cups(Server().Socket(), false);
    for (auto _ : state) benchmark::DoNotOptimize(cups.Jobs());
}
BENCHMARK(BM_ServerJobs)->Unit(benchmark::kMillisecond);

void BM_QueryToolPrintersAndJobs(benchmark::State& state) {
    if (!Ready(state)) return;
    for (auto _ : state)
        if (Server().Tool({SYSQUILL_QUERY_TOOL, "SELECT * FROM Win32_Printer", "SELECT * FROM Win32_PrintJob"}) != 0)
            state.SkipWithError("sysquill-query failed");
}
BENCHMARK(BM_QueryToolPrintersAndJobs)->Unit(benchmark::kMillisecond);

void BM_LpstatLongPrintersJobs(benchmark::State& state) {
    if (!Ready(state)) return;
    std::string out;
    for (auto _ : state)
        if (Server().Tool({"lpstat", "-l", "-p", "-o"}) != 0) state.SkipWithError("lpstat failed");
}
BENCHMARK(BM_LpstatLongPrintersJobs)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &Server();
    return 0;
}
