// SPDX-License-Identifier: MIT
// Finding a wave file in a sound folder of 5,000 files: as written, behind a playback hint, in
// another case, and a name that is not there (the wave-file test runs on every keystroke in a
// "wave" cell, so a miss must stay cheap too).

#include "document/SoundPaths.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

const fs::path& soundFolder() {
    static const fs::path folder = [] {
        fs::path root =
            fs::temp_directory_path() / ("tonvale-bench-waves-" + std::to_string(std::random_device{}()));
        fs::create_directories(root / "ambient");
        for (int i = 0; i < 5000; ++i)
            std::ofstream(root / "ambient" / ("Wave" + std::to_string(i) + ".wav")) << "RIFF";
        return root;
    }();
    return folder;
}

void lookUp(benchmark::State& state, const char* value) {
    const std::string folder = soundFolder().string();
    for (auto _ : state)
        benchmark::DoNotOptimize(tonvale::findWaveFile(folder, value));
}

} // namespace

BENCHMARK_CAPTURE(lookUp, as_written, "\"ambient/Wave4999.wav\"");
BENCHMARK_CAPTURE(lookUp, behind_a_hint, "\")ambient/Wave4999.wav\"");
BENCHMARK_CAPTURE(lookUp, other_case, "\"AMBIENT/wave4999.WAV\"");
BENCHMARK_CAPTURE(lookUp, missing, "\"ambient/none.wav\"");

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(soundFolder(), ec);
    return 0;
}
