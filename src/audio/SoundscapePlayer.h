// SPDX-License-Identifier: MIT
#pragma once

// Playing a gathered soundscape (SoundscapeMix) through the audio layer: every loop at once, every
// random block on its own timer. Live playback and offline rendering run the same player; only the
// clock differs (the steady clock for tick(), rendered samples for the renderer).

#include "audio/AudioEngine.h"
#include "audio/RandomSchedule.h"
#include "audio/SoundscapeMix.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tonvale {

// One random wave started by the schedule, at `ms` after the start of playback.
struct RandomStart {
    std::uint64_t ms = 0;
    int block = 0; // index into SoundscapeMix::randoms
    int wave = 0;  // index into that block's waves
    float volume = 1.0f;
    int pitch = 100;
};

// The timers of the random blocks, driven by one seeded source. The order of the draws is fixed, so a
// test can predict every start: at the start, each block in turn draws its first delay; then, in
// order of time (blocks in order at equal times), each start draws the block's next delay, the wave,
// the volume and the pitch. Delays are whole milliseconds from the block's range, volumes are the
// range's low end plus a whole thousandth of its span, pitches whole percents.
class SoundscapeSchedule {
  public:
    SoundscapeSchedule(const std::vector<MixRandomBlock>& blocks, std::uint32_t seed);

    // Time of the next start, nothing without random blocks.
    std::optional<std::uint64_t> nextMs() const;
    // The next start when it is due at `nowMs` (its time <= nowMs), else nothing.
    std::optional<RandomStart> takeDue(std::uint64_t nowMs);
    // Every start up to `untilMs` (exclusive) for these blocks and this seed.
    static std::vector<RandomStart> predict(const std::vector<MixRandomBlock>& blocks, std::uint32_t seed,
                                            std::uint64_t untilMs);

  private:
    std::uint32_t drawDelay(const MixRandomBlock& block);

    const std::vector<MixRandomBlock>& m_blocks;
    SeededRandom m_random;
    std::vector<std::uint64_t> m_next;
};

// What plays at the moment, for a status line.
struct PlayingSound {
    bool looping = false;
    std::string soundscape;
    std::string file; // file name without folders
    float volume = 1.0f;
    int pitch = 100;
};

// The player over one AudioEngine (the program's, or the renderer's loopback engine). A panel
// calls start(seed) and stop(), and tick() from a timer (every 20 to 50 ms keeps starts within that
// of their time; msUntilNextStart() tells when the next is due). Every call comes from the thread
// that owns the engine.
class SoundscapePlayer {
  public:
    explicit SoundscapePlayer(AudioEngine& audio);
    ~SoundscapePlayer();
    SoundscapePlayer(const SoundscapePlayer&) = delete;
    SoundscapePlayer& operator=(const SoundscapePlayer&) = delete;

    // The soundscape to play; stops what plays.
    void setMix(SoundscapeMix mix);
    // Decodes every wave once (the ones that cannot be decoded are reported and left out), starts
    // every loop and the random timers. The first random wave of each block waits for its first
    // delay. False when nothing could be opened (no device, or no sound left).
    bool start(std::uint32_t seed);
    // Stops every sound and releases every channel.
    void stop();
    bool playing() const { return m_playing; }

    // Live playback: starts what is due by the steady clock. A start found more than LateStartMs
    // after its time (the window was busy) is drawn but not played, so a stall does not release a
    // burst of waves at once.
    void tick();
    // The same at `nowMs` after the start.
    void tickAt(std::uint64_t nowMs);
    static constexpr std::uint64_t LateStartMs = 1000;
    // Starts every random wave due at or before `ms` after the start (the renderer's clock).
    void advanceTo(std::uint64_t ms);
    std::optional<std::uint64_t> nextStartMs() const;
    // Milliseconds until the next random start on the steady clock; nothing without random blocks.
    std::optional<std::uint64_t> msUntilNextStart() const;
    std::uint64_t elapsedMs() const;

    // The mix as played: after start, without the waves that could not be decoded.
    const SoundscapeMix& mix() const { return m_mix; }
    // Problems of gathering and of the last start, in order.
    const std::vector<MixProblem>& problems() const { return m_mix.problems; }
    // Every random start since the last start(), in order.
    const std::vector<RandomStart>& starts() const { return m_starts; }
    std::vector<PlayingSound> nowPlaying() const;
    // One line: " Looping: a.wav, b.wav; Random: [c.wav] Volume = 0.5. Pitch = 100"; empty when stopped.
    std::string statusText() const;
    // Channels the player holds (decoded waves and voices); 0 after stop().
    std::size_t channelCount() const;

    // Random waves that sound at once at most; the oldest is cut off for a new one beyond it.
    static constexpr std::size_t MaxVoices = 64;

  private:
    struct Voice {
        AudioChannel channel = 0;
        int block = -1;
        int wave = -1;
        std::uint64_t startedMs = 0;
        float volume = 1.0f;
        int pitch = 100;
    };
    bool openLoops();
    void openRandomWaves();
    void fire(const RandomStart& start);
    AudioChannel voiceFor(int block, int wave);

    AudioEngine& m_audio;
    SoundscapeMix m_source; // as given
    SoundscapeMix m_mix;    // as played
    bool m_playing = false;
    std::vector<AudioChannel> m_loopChannels;
    std::vector<std::vector<AudioChannel>> m_decoded; // per random block, per wave: decode-only streams
    std::vector<Voice> m_voices;
    std::optional<SoundscapeSchedule> m_schedule;
    std::vector<RandomStart> m_starts;
    std::chrono::steady_clock::time_point m_startedAt;
    std::uint64_t m_nowMs = 0;
};

} // namespace tonvale
