// SPDX-License-Identifier: MIT
#pragma once

// Test waves written with libsndfile into a temporary folder, and measurements of rendered samples.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sndfile.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace tonvale::testing {

class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        m_path = std::filesystem::temp_directory_path() /
                 ("tonvale-audio-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string path() const { return m_path.string(); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

struct WaveSpec {
    double frequency = 440.0; // 0 writes white noise
    double seconds = 1.0;
    int sampleRate = 44100;
    int channels = 1;
    int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    double amplitude = 0.8;
};

inline bool writeWave(const std::string& path, const WaveSpec& shape) {
    SF_INFO info{};
    info.samplerate = shape.sampleRate;
    info.channels = shape.channels;
    info.format = shape.format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = static_cast<std::size_t>(shape.seconds * shape.sampleRate);
    std::vector<double> data(frames * static_cast<std::size_t>(shape.channels));
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> dist(-shape.amplitude, shape.amplitude);
    for (std::size_t f = 0; f < frames; ++f) {
        const double v = shape.frequency > 0
                             ? shape.amplitude * std::sin(2.0 * M_PI * shape.frequency *
                                                          static_cast<double>(f) / shape.sampleRate)
                             : dist(noise);
        for (int c = 0; c < shape.channels; ++c)
            data[f * static_cast<std::size_t>(shape.channels) + static_cast<std::size_t>(c)] = v;
    }
    sf_writef_double(file, data.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
    return true;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::string bytes(ec ? 0 : static_cast<std::size_t>(size), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Frequency from rising zero crossings over the whole span.
inline double zeroCrossingFrequency(const std::vector<float>& samples, std::size_t from, std::size_t to,
                                    int rate) {
    std::size_t first = 0;
    std::size_t last = 0;
    int crossings = 0;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < to && i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
            if (crossings == 0)
                first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first);
}

inline float peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    float p = 0.0f;
    for (std::size_t i = from; i < to && i < samples.size(); ++i)
        p = std::max(p, std::fabs(samples[i]));
    return p;
}

} // namespace tonvale::testing
