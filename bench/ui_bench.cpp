// Speed of the list tools at 100,000 rows: filling the model (directly and
// through a direct query), a search whose only hit is the last row, CSV
// export, and a plain C loop writing the same bytes for comparison; and two
// paths that must grow linearly, at 1x, 4x and 16x input.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeView>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/FakeWbem.h"
#include "ui/ListModel.h"
#include "ui/pages/DirectQuery.h"
#include "ui/pages/ListTools.h"
#include "wmi/CWMIBase.h"

namespace {

constexpr int kRows = 100000;

std::string BenchFile() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/sysquill-bench-" + std::to_string(getpid()) + ".csv";
}

// Ten rows per object, like a mid-sized page; a few values need quotes.
void FillRows(ui::PageList& list) {
    list.Clear();
    list.Reserve(kRows);
    for (int n = 0; n < kRows; ++n) {
        const int field = n % 10;
        if (field == 0) {
            list.AddRow("Service Caption", "Service number " + std::to_string(n / 10));
        } else {
            list.AddRow("Service Property " + std::to_string(field),
                        field == 3 ? "C:\\Program Files\\Vendor, Inc\\svc.exe" : "value-" + std::to_string(n));
        }
    }
}

void BM_FillModel(benchmark::State& state) {
    ui::PageList list("Service Caption");
    TPageListModel model(list);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    for (auto _ : state) {
        TPageListModel::FillScope scope(model);
        FillRows(list);
    }
    state.counters["rows"] = static_cast<double>(model.rowCount());
}
BENCHMARK(BM_FillModel)->Unit(benchmark::kMillisecond);

// Rows written object by object, each reserving its rows first, at 1x, 4x
// and 16x objects: the time per row stays flat when the list grows by
// doubling.
void BM_ReservePerObject(benchmark::State& state) {
    const auto objects = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ui::PageList list;
        for (int object = 0; object < objects; ++object) {
            list.Reserve(list.Count() + 20);
            for (int row = 0; row < 20; ++row) list.AddRow("Process Property", "value");
        }
        benchmark::DoNotOptimize(list.Rows().data());
    }
    state.SetItemsProcessed(state.iterations() * objects * 20);
}
BENCHMARK(BM_ReservePerObject)->Arg(625)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);

// A command line of nothing but `";` pairs (any user can start one), read
// out of its object's text at 32, 128 and 512 KiB.
void BM_ReadValueOfQuotePairs(benchmark::State& state) {
    std::string pairs;
    for (int64_t n = 0; n < state.range(0) / 2; ++n) pairs += "\";";
    const std::string text = "\tCommandLine = \"" + pairs + "\";\r\n";
    for (auto _ : state) benchmark::DoNotOptimize(wmi::TWMIBase::GetPropertyFromText("CommandLine", text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadValueOfQuotePairs)->Arg(32 << 10)->Arg(128 << 10)->Arg(512 << 10)->Unit(benchmark::kMillisecond);

void BM_FillByDirectQuery(benchmark::State& state) {
    fakewbem::FakeHosts hosts;
    std::vector<fakewbem::Object> buses;
    for (int n = 0; n < kRows / 5; ++n)
        buses.push_back(
            fakewbem::BusObject("PCI_BUS_" + std::to_string(n), "Bus", "PCI bus", static_cast<uint32_t>(n)));
    hosts.backend->AddClass(fakewbem::BusSchema(), buses);
    ui::PageList list("Bus Caption");
    TPageListModel model(list);
    for (auto _ : state) {
        TPageListModel::FillScope scope(model);
        ui::FillPage(*ui::FindPage("Bus"), list, fakewbem::FakeHosts::kHost);
    }
    state.counters["rows"] = static_cast<double>(list.Count());
}
BENCHMARK(BM_FillByDirectQuery)->Unit(benchmark::kMillisecond);

void BM_SearchLastRow(benchmark::State& state) {
    ui::PageList list("Service Caption");
    FillRows(list);
    list.AddRow("Service Last", "needle-in-the-last-row");
    size_t hit = 0;
    for (auto _ : state) {
        auto found = ui::FindItem(list, "NEEDLE-IN", {});
        hit = found.value_or(0);
        benchmark::DoNotOptimize(hit);
    }
    if (hit != list.Count() - 1) state.SkipWithError("wrong hit");
}
BENCHMARK(BM_SearchLastRow)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    ui::PageList list("Service Caption");
    FillRows(list);
    const std::string file = BenchFile();
    for (auto _ : state) ui::SaveListToCSV(list, file);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(ui::ListToCsv(list).size()));
    std::remove(file.c_str());
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

// The yardstick: stdio, the same bytes, the quoting done inline.
void BM_PlainCLoop(benchmark::State& state) {
    ui::PageList list("Service Caption");
    FillRows(list);
    const std::string file = BenchFile();
    for (auto _ : state) {
        FILE* out = std::fopen(file.c_str(), "wb");
        if (!out) {
            state.SkipWithError("cannot open");
            break;
        }
        for (const ui::PageRow& row : list.Rows()) {
            std::fputs(row.property.c_str(), out);
            std::fputc(',', out);
            const char* v = row.value.c_str();
            bool quote = *v == 0;
            for (const char* p = v; *p; ++p)
                if (*p == '"' || *p == ',' || static_cast<unsigned char>(*p) <= ' ') quote = true;
            if (quote) std::fputc('"', out);
            for (const char* p = v; *p; ++p) {
                if (*p == '"') std::fputc('"', out);
                std::fputc(*p, out);
            }
            if (quote) std::fputc('"', out);
            std::fputs("\r\n", out);
        }
        std::fclose(out);
    }
    std::remove(file.c_str());
}
BENCHMARK(BM_PlainCLoop)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
