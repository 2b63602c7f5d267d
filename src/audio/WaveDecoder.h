// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tonvale {

// A wave file decoded into memory: interleaved 16-bit samples, mono or stereo (files with more
// channels are mixed down to mono). The audio layer turns it into an OpenAL buffer.
struct DecodedWave {
    std::vector<std::int16_t> samples;
    int channels = 0;
    std::uint32_t sampleRate = 0;
    std::int64_t frames = 0; // frames actually decoded, never the header's claim
};

// Decodes a whole file with libsndfile, up to MaxDecodedSamples samples (the rest is not decoded).
// Memory follows the samples the file really holds, never the count its header claims. Returns false
// for a missing, unreadable, empty, header-only or otherwise undecodable file, and for anything but a
// regular file (a named pipe or a device is not opened for reading); `wave` is then left empty and
// `reason` says why.
bool decodeWaveFile(const std::string& path, DecodedWave& wave, std::string& reason);

// File name extensions (lower case, without the dot) of every sound file the decoder reads: the
// common ones first (wav, mp3, ogg, flac), then the others of the libsndfile in use. Header-less raw
// files are not among them: nothing says how to read them.
std::vector<std::string> readableSoundExtensions();

// 256 MB of 16-bit samples: about 46 minutes of 48 kHz mono, 23 of stereo.
inline constexpr std::size_t MaxDecodedSamples = std::size_t{1} << 27;

} // namespace tonvale
