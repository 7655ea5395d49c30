// How the plug-in copes with big logs, through the exports as a host calls them:
// loading n QSOs (every AddData0 opens err.txt, as the host expects), scoring
// them, and a call check on the full store.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "support/plugin.h"

namespace stats::test {
namespace {

std::vector<Qso> Log(int n) {
    std::vector<Qso> log;
    const char* bands[] = {"80m", "40m", "20m", "15m", "10m"};
    for (int i = 0; i < n; ++i) {
        Qso qso;
        qso.call = "Q" + std::to_string(i % 10) + "X" + std::to_string(i / 5);  // some calls on several bands
        qso.band = bands[i % 5];
        qso.exchSent = std::to_string(1000 + i % 9000);
        log.push_back(qso);
    }
    return log;
}

void BM_LoadLog(benchmark::State& state) {
    WorkDir dir;
    const std::vector<Qso> log = Log(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Plugin plugin;
        plugin.ResetStats();
        for (const Qso& qso : log) plugin.AddData(qso);
        benchmark::DoNotOptimize(plugin.Result());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadLog)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_CheckCall(benchmark::State& state) {
    WorkDir dir;
    Plugin plugin;
    for (const Qso& qso : Log(static_cast<int>(state.range(0)))) plugin.AddData(qso);
    char exch[50];
    for (auto _ : state) benchmark::DoNotOptimize(plugin.CheckCall("Q9NEVER", "20m", "20m", exch));
}
BENCHMARK(BM_CheckCall)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// A hostile host passing a distinct band text with every QSO: the band order is
// an exchange sort, quadratic in the number of bands, at every result request.
void BM_ResultManyBands(benchmark::State& state) {
    WorkDir dir;
    Plugin plugin;
    for (int i = 0; i < state.range(0); ++i) {
        Qso qso;
        qso.band = std::to_string(i) + "m";
        plugin.AddData(qso);
    }
    for (auto _ : state) benchmark::DoNotOptimize(plugin.Result());
}
BENCHMARK(BM_ResultManyBands)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace stats::test

BENCHMARK_MAIN();
