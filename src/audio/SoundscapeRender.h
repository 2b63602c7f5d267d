// SPDX-License-Identifier: MIT
#pragma once

// Rendering a whole soundscape offline: the same player as live playback, on an OpenAL loopback
// device that is driven as fast as it mixes. Random starts land on the exact sample of their time,
// so the same mix, seed, length and rate always give the same samples.

#include "audio/SoundscapeMix.h"
#include "audio/SoundscapePlayer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tonvale {

struct RenderSettings {
    double seconds = 30.0;
    int sampleRate = 44100;
    std::uint32_t seed = 0;
};

inline constexpr double MaxRenderSeconds = 24.0 * 3600.0;
inline constexpr int MinRenderRate = 8000;
inline constexpr int MaxRenderRate = 192000;

enum class RenderOutcome {
    Written,
    Cancelled,   // the progress callback said stop; no file was left
    NoAudio,     // the audio back-end could not open a loopback device, or the settings are out of range
    WriteFailed, // the output could not be written; the target is untouched
};

struct RenderResult {
    RenderOutcome outcome = RenderOutcome::NoAudio;
    std::string error;                // for NoAudio and WriteFailed
    std::vector<MixProblem> problems; // of gathering and decoding, in order
    std::vector<RandomStart> starts;  // every random wave started
    std::uint64_t frames = 0;         // frames rendered
};

// Told the share done (0 to 1) about four times a rendered second; returning false cancels. It runs
// on the rendering thread with the program's own audio context in place, so it may pump the window's
// events. A render may run on any thread.
using RenderProgress = std::function<bool(double done)>;

// Renders `mix` to a 16-bit PCM stereo WAV file at `path`, written beside it first and then renamed
// over it, so a failed or cancelled render never leaves a partial file.
RenderResult renderSoundscape(const SoundscapeMix& mix, const RenderSettings& settings,
                              const std::string& path, const RenderProgress& progress = {});
// Renders into interleaved stereo samples (-1 to 1) instead of a file.
RenderResult renderSoundscapeSamples(const SoundscapeMix& mix, const RenderSettings& settings,
                                     std::vector<float>& samples, const RenderProgress& progress = {});

// The sample written for a rendered value: clamped to -1..1, scaled by 32767 and rounded.
std::int16_t toPcm16(float value);

} // namespace tonvale
