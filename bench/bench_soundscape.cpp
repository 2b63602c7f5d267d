// SPDX-License-Identifier: MIT
// Rendering a whole soundscape offline: 60 s of two loops, three random blocks of 20 waves and a
// nested soundscape, to a 44.1 kHz stereo WAV file (decoding the waves included). Target: under 2 s.
#include "SoundscapeBenchScript.h"
#include "audio/SoundscapeRender.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RenderSixtySeconds(benchmark::State& state) {
    tonvale::testing::TempFolder sounds;
    const tonvale::SoundscapeMix mix = tonvale::bench::makeBenchSoundscape(sounds);
    if (mix.loops.size() != 3 || mix.randoms.size() != 4) {
        state.SkipWithError("the benchmark soundscape did not gather");
        return;
    }
    const std::string out = sounds.file("out.wav");
    std::size_t starts = 0;
    for (auto _ : state) {
        const tonvale::RenderResult r = tonvale::renderSoundscape(mix, {60.0, 44100, 7}, out);
        if (r.outcome != tonvale::RenderOutcome::Written) {
            state.SkipWithError(r.error.c_str());
            return;
        }
        starts = r.starts.size();
    }
    state.counters["random_starts"] = static_cast<double>(starts);
    state.counters["x_real_time"] =
        benchmark::Counter(60.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderSixtySeconds)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
