// SPDX-License-Identifier: MIT
// The audio layer: opening and starting a 10 s, 44.1 kHz wave for the single-wave preview.
#include "AudioTestHelpers.h"
#include "audio/AudioEngine.h"

#include <benchmark/benchmark.h>

namespace {

void BM_PreviewOpenAndStart(benchmark::State& state) {
    tonvale::testing::TempFolder dir;
    const std::string path = dir.file("ten-seconds.wav");
    tonvale::testing::writeWave(
        path,
        {.frequency = 440, .seconds = 10, .sampleRate = 44100, .channels = static_cast<int>(state.range(0))});
    tonvale::AudioEngine audio;
    if (!audio.initLoopback()) {
        state.SkipWithError("no loopback device");
        return;
    }
    for (auto _ : state) {
        audio.releaseAll();
        const bool ok = audio.playFile(path);
        benchmark::DoNotOptimize(ok);
    }
    audio.releaseAll();
}
BENCHMARK(BM_PreviewOpenAndStart)->Arg(1)->Arg(2)->ArgName("channels")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
