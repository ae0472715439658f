// Win32_DiskDrive and Win32_DiskPartition on this machine: the provider's
// two SELECT * queries together beside `lsblk -O --json` over the same
// disks, in one run. The provider side is measured in process (the query
// tool's own start is no part of the queries' cost); lsblk is spawned and
// waited for, so its time includes its start. "cpu_ms" is lsblk's CPU time
// per run, to set beside the provider's CPU time on a busy machine.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "cimv2/provider/Provider.h"

namespace {

void DisksAndPartitions(benchmark::State& state) {
    cimv2::Provider provider{cimv2::ProviderContext(cimv2::SystemRoot("/"))};
    size_t count = 0;
    for (auto _ : state) {
        count = provider.ExecQuery("SELECT * FROM Win32_DiskDrive").instances.size() +
                provider.ExecQuery("SELECT * FROM Win32_DiskPartition").instances.size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["instances"] = static_cast<double>(count);
}
BENCHMARK(DisksAndPartitions)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void LsblkAll(benchmark::State& state) {
    const double before = ChildrenCpuSeconds();
    std::vector<const char*> args = {"lsblk", "-O", "--json", nullptr};
    for (auto _ : state) {
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawnp(&pid, "lsblk", &files, nullptr, const_cast<char* const*>(args.data()), environ) != 0) {
            posix_spawn_file_actions_destroy(&files);
            state.SkipWithError("lsblk cannot be started");
            return;
        }
        posix_spawn_file_actions_destroy(&files);
        int status = 0;
        waitpid(pid, &status, 0);
    }
    state.counters["cpu_ms"] = (ChildrenCpuSeconds() - before) * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(LsblkAll)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
