#pragma once

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

// Decodes a whole file with libsndfile. Returns false for a missing, unreadable, empty, header-only
// or otherwise undecodable file; `wave` is then left empty.
bool decodeWaveFile(const std::string& path, DecodedWave& wave);

} // namespace tonvale
