// Speed of the propagation step in preview windows of three sizes. One item is one cell of
// one propagated row, so the figures compare across sizes and fire heights.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "MemoryPlatform.h"

namespace {
constexpr uint32_t kSeed = 1;

void BM_Burn(benchmark::State& state) {
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
        engine.Burn();
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
}
}  // namespace

BENCHMARK(BM_Burn)->ArgNames({"w", "h"})->Args({100, 100})->Args({640, 480})->Args({3840, 2160})->Unit(
    benchmark::kMicrosecond);

BENCHMARK_MAIN();
