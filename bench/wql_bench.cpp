// WQL parse plus WHERE evaluation over 100,000 synthetic instances.
#include <benchmark/benchmark.h>

#include "cimv2/core/Wql.h"

using namespace cimv2;

namespace {

const ClassSchema& Schema() {
    static const ClassSchema schema("Bench_Process", {
                                                         {"Handle", CimType::String, kKey},
                                                         {"Name", CimType::String},
                                                         {"ProcessId", CimType::UInt32},
                                                         {"WorkingSetSize", CimType::UInt64},
                                                         {"Priority", CimType::UInt32},
                                                         {"ExecutablePath", CimType::String},
                                                     });
    return schema;
}

std::vector<Instance> Instances(size_t count) {
    std::vector<Instance> all;
    all.reserve(count);
    for (size_t n = 0; n < count; ++n) {
        Instance i(Schema());
        i.SetText("Handle", std::to_string(n));
        i.SetText("Name", n % 7 == 0 ? "sshd" : "worker-" + std::to_string(n % 100));
        i.SetInt("ProcessId", static_cast<int64_t>(n));
        i.SetInt("WorkingSetSize", static_cast<int64_t>(n) * 4096);
        i.SetInt("Priority", static_cast<int64_t>(n % 32));
        if (n % 3) i.SetText("ExecutablePath", "/usr/sbin/worker");
        all.push_back(std::move(i));
    }
    return all;
}

void ParseAndFilter(benchmark::State& state) {
    static const std::vector<Instance> all = Instances(100000);
    size_t hits = 0;
    for (auto _ : state) {
        BoundQuery query(ParseWql("SELECT Name, ProcessId FROM Bench_Process WHERE (Name LIKE 'worker-1%' AND "
                                  "WorkingSetSize > 1048576) OR (Priority >= 30 AND ExecutablePath IS NOT NULL) "
                                  "OR Name = \"SSHD\""),
                         Schema());
        hits = 0;
        for (const auto& inst : all) hits += query.Matches(inst) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["instances"] = 100000;
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK(ParseAndFilter)->Unit(benchmark::kMillisecond);

// LIKE over a 1 MiB value of 'a' with a pattern of range(0) characters
// that almost matches everywhere: '%aaa...b' (range(1) = 0), the same
// searched for inside the value '%aaa...b%' (1), and with '_', which the
// plain-text search cannot take: '%_aaa...b%' (2). All are linear in the
// value; shape 2 steps a bit set of positions, value x pattern / 64 word
// operations.
void LikeLongValueLongPattern(benchmark::State& state) {
    const std::string value(1u << 20, 'a');
    const auto length = static_cast<size_t>(state.range(0));
    const int64_t shape = state.range(1);
    std::string pattern = shape == 2 ? "%_" : "%";
    pattern += std::string(length - pattern.size() - 1 - (shape ? 1 : 0), 'a') + "b";
    if (shape) pattern += "%";
    bool matched = true;
    for (auto _ : state) {
        matched = WqlLike(value, pattern);
        benchmark::DoNotOptimize(matched);
    }
    state.counters["matched"] = matched ? 1 : 0;
}
BENCHMARK(LikeLongValueLongPattern)
    ->ArgsProduct({{100, 1000, 10000}, {0, 1, 2}})
    ->ArgNames({"pattern", "shape"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
