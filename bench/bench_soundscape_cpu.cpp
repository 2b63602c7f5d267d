// SPDX-License-Identifier: MIT
#include "CpuTime.h"
// CPU use of live whole-soundscape playback on the default device (two loops, three random blocks
// of 20 waves, a nested soundscape), ticked every 20 ms as the window's timer would. Run with
// ALSOFT_DRIVERS=null to need no sound card (set here when unset). Prints the process's CPU time
// over the wall time, in percent of one core. Target: under 5 %.
//   bench_soundscape_cpu [seconds]   (default 30; Google Benchmark options are ignored)
#include "SoundscapeBenchScript.h"
#include "audio/SoundscapePlayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>

namespace {} // namespace

int main(int argc, char** argv) {
    int seconds = 30;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            seconds = std::max(1, std::atoi(argv[i]));
    setenv("ALSOFT_DRIVERS", "null", 0);

    tonvale::testing::TempFolder sounds;
    tonvale::AudioEngine audio;
    if (!audio.init()) {
        std::fprintf(stderr, "%s\n", audio.errorText("Error initializing audio!").c_str());
        return 1;
    }
    tonvale::SoundscapePlayer player(audio);
    player.setMix(tonvale::bench::makeBenchSoundscape(sounds));
    if (!player.start(7)) {
        std::fprintf(stderr, "nothing to play\n");
        return 1;
    }
    const double cpuBefore = cpuSeconds();
    const auto begin = std::chrono::steady_clock::now();
    const auto end = begin + std::chrono::seconds(seconds);
    std::size_t longestStatus = 0;
    int ticks = 0;
    for (auto next = begin; next < end; next += std::chrono::milliseconds(20)) {
        std::this_thread::sleep_until(next);
        player.tick();
        if (++ticks % 10 == 0) // the status line, as a window would show it
            longestStatus = std::max(longestStatus, player.statusText().size());
    }
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::printf(
        "whole-soundscape playback (2 loops, 3 x 20 random waves, a nested soundscape): %.2f %% of one core "
        "(%.2f s CPU over %.1f s, %zu random waves started)\n",
        100.0 * cpu / elapsed, cpu, elapsed, player.starts().size());
    player.stop();
    return longestStatus > 0 ? 0 : 1;
}
