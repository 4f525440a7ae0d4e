// Speed of the propagation step in preview windows of four sizes: the fast step that every
// program runs beside the reference it must match. One item is one cell of one propagated
// row, so the figures compare across sizes and fire heights. After the run a table shows
// both steps side by side, with the ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "MemoryPlatform.h"

namespace {
constexpr uint32_t kSeed = 1;

void RunBurn(benchmark::State& state, bool fast) {
    const int32_t width = int32_t(state.range(0));
    const int32_t height = int32_t(state.range(1));
    MemorySettingsStore store;
    FireRig rig(FireSize{3840, 2160}, store, kSeed);
    FireEngine& engine = rig.engine;
    const FireState& fire = engine.State();
    engine.ReadSettings(kPreviewReads, store);
    rig.Restart(width, height);
    if (!engine.Ready()) {
        state.SkipWithError("no surfaces for this size");
        return;
    }

    int64_t cells = 0;
    for (auto _ : state) {
        // Burn rises rows 1 .. min(fire height, top row), read before it moves on.
        const int32_t rows = std::max(0, std::min(fire.m_nFireHeight, fire.m_cyFire - 1));
        if (fast)
            engine.Burn();
        else
            engine.BurnReference();
        cells += int64_t(rows) * fire.m_cxFire;
        benchmark::ClobberMemory();
        if (fire.m_bFinished) {
            // Lighting the next fire is not the step being measured.
            state.PauseTiming();
            engine.Ignite();
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(rig.platform.out.data());
    state.SetItemsProcessed(cells);
    state.counters["rows/burn"] =
        benchmark::Counter(double(cells) / fire.m_cxFire / double(state.iterations()));
    // Seconds a cell; the table prints it in nanoseconds.
    state.counters["s/cell"] =
        benchmark::Counter(double(cells), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BurnReference(benchmark::State& state) { RunBurn(state, false); }
void BM_Burn(benchmark::State& state) { RunBurn(state, true); }

// The console's report, and each run's nanoseconds a cell kept by size for the table.
class TableReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto counter = run.counters.find("s/cell");
            if (run.error_occurred || counter == run.counters.end()) continue;
            const bool fast = run.run_name.function_name == "BM_Burn";
            m_ns[run.run_name.args][fast] = double(counter->second) * 1e9;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintTable() const {
        std::printf("\n%-14s %14s %14s %8s\n", "size", "reference ns", "fast ns", "ratio");
        for (const auto& [size, ns] : m_ns) {
            const auto ref = ns.find(false), fast = ns.find(true);
            if (ref == ns.end() || fast == ns.end()) continue;
            std::printf("%-14s %14.3f %14.3f %7.2fx\n", size.c_str(), ref->second, fast->second,
                        ref->second / fast->second);
        }
    }

private:
    std::map<std::string, std::map<bool, double>> m_ns;
};

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h"})->Args({100, 100})->Args({640, 480})->Args({1920, 1080})->Args({3840, 2160});
    b->Unit(benchmark::kMicrosecond);
}
}  // namespace

BENCHMARK(BM_BurnReference)->Apply(Sizes);
BENCHMARK(BM_Burn)->Apply(Sizes);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
