// Win32_Process at 2,000 processes: the provider's SELECT * beside
// `ps -eo pid,ppid,user,comm,args,rss,vsz,nlwp,lstart` over the same
// processes, and the "Process" page filled through its component. The
// benchmark starts the 2,000 processes itself (sleep, its own children)
// and ends them before it exits.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "cimv2/provider/Provider.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/PageCatalogue.h"
#include "ui/pages/PageList.h"

namespace {

constexpr int kProcesses = 2000;

pid_t Spawn(const char* path, std::vector<const char*> args, bool quiet) {
    args.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (quiet) posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, path, &files, nullptr, const_cast<char* const*>(args.data()), environ);
    posix_spawn_file_actions_destroy(&files);
    return rc == 0 ? pid : -1;
}

void ProviderSelectAll(benchmark::State& state) {
    cimv2::Provider provider{cimv2::ProviderContext(cimv2::SystemRoot("/"))};
    size_t count = 0;
    for (auto _ : state) {
        count = provider.ExecQuery("SELECT * FROM Win32_Process").instances.size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["processes"] = static_cast<double>(count);
}
BENCHMARK(ProviderSelectAll)->Unit(benchmark::kMillisecond)->MinTime(2.0);

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall time per run; "ps_cpu_ms" is the CPU time ps itself used per run,
// to set beside the provider's CPU time on a busy machine.
void Ps(benchmark::State& state) {
    const double before = ChildrenCpuSeconds();
    for (auto _ : state) {
        pid_t ps = Spawn("/bin/ps", {"ps", "-eo", "pid,ppid,user,comm,args,rss,vsz,nlwp,lstart"}, true);
        waitpid(ps, nullptr, 0);
    }
    state.counters["ps_cpu_ms"] = (ChildrenCpuSeconds() - before) * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(Ps)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void ProcessPage(benchmark::State& state) {
    const ui::PageInfo* page = nullptr;
    for (const auto& p : ui::Pages())
        if (std::string(p.caption) == "Process") page = &p;
    ui::PageList list(page->headerLabel);
    for (auto _ : state) {
        ui::FillPage(*page, list, ".");
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["rows"] = static_cast<double>(list.Count());
}
BENCHMARK(ProcessPage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    std::vector<pid_t> children;
    for (int n = 0; n < kProcesses; ++n) {
        pid_t pid = Spawn("/bin/sleep", {"sleep", "3600"}, false);
        if (pid > 0) children.push_back(pid);
    }
    std::fprintf(stderr, "started %zu processes\n", children.size());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (pid_t pid : children) kill(pid, SIGKILL);
    for (pid_t pid : children) waitpid(pid, nullptr, 0);
    return 0;
}
