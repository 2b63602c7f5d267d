// SPDX-License-Identifier: MIT
#include "SampleSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <sndfile.h>

namespace tonvale {

namespace {

constexpr double TwoPi = 2.0 * std::numbers::pi;

// A small fixed-seed generator, so every build makes the same bytes.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : m_state(seed ? seed : 1u) {}
    double next() { // white noise in -1..1
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t m_state;
};

// A one-pole low-pass filter: `amount` near 1 keeps only the low rumble.
struct LowPass {
    double amount;
    double state = 0.0;
    double operator()(double x) { return state = amount * state + (1.0 - amount) * x; }
};

double fadeEdges(double t, double seconds, double fade) {
    return std::min({1.0, t / fade, (seconds - t) / fade});
}

std::uint32_t seedOf(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

// Sample i of channel ch for the named sound, before the loop cross-fade.
class Voice {
  public:
    explicit Voice(const SampleSound& s) : m_sound(s), m_noise(seedOf(s.name)) {}

    double sample(std::size_t i, int ch) {
        const double t = static_cast<double>(i) / m_sound.sampleRate;
        const std::string& n = m_sound.name;
        if (n.find("rain") != std::string::npos) {
            // Bright hiss over a soft rumble, with sparse crackles; channels decorrelated.
            const double hiss = m_hiss[ch](m_noise.next()) * 0.5;
            const double rumble = m_rumble[ch](m_noise.next()) * 2.5;
            const double crackle = m_noise.next() > 0.995 ? m_noise.next() * 0.6 : 0.0;
            return 0.5 * (hiss + rumble) + crackle;
        }
        if (n.find("wind_loop") != std::string::npos) {
            // Low-passed noise whose level swells slowly; the swell repeats exactly over the loop.
            const double swell = 0.55 + 0.45 * std::sin(TwoPi * t * 2.0 / m_sound.seconds + ch * 0.8);
            return m_rumble[ch](m_noise.next()) * 6.0 * swell;
        }
        if (n.find("gust") != std::string::npos) {
            const double shape = std::sin(std::numbers::pi * t / m_sound.seconds);
            return m_rumble[ch](m_noise.next()) * 7.0 * shape * shape;
        }
        if (n.find("drip") != std::string::npos) {
            // A falling tone that dies away quickly.
            const double base = n.find('2') != std::string::npos ? 1400.0 : 1100.0;
            const double freq = base * (1.0 - 0.35 * std::min(1.0, t * 12.0));
            m_phase += TwoPi * freq / m_sound.sampleRate;
            return 0.7 * std::sin(m_phase) * std::exp(-t * 30.0);
        }
        if (n.find("room_tone") != std::string::npos) {
            // Mains hum with two harmonics over faint air noise.
            const double hum = 0.25 * std::sin(TwoPi * 50.0 * t) + 0.1 * std::sin(TwoPi * 100.0 * t) +
                               0.05 * std::sin(TwoPi * 150.0 * t);
            return hum + m_rumble[ch](m_noise.next()) * 0.6;
        }
        if (n.find("clock") != std::string::npos) {
            // A short wooden tick: a burst of noise through a resonance.
            const double env = std::exp(-t * 120.0);
            return 0.8 * env * (0.6 * std::sin(TwoPi * 2300.0 * t) + 0.4 * m_noise.next());
        }
        return 0.3 * std::sin(TwoPi * 440.0 * t);
    }

  private:
    const SampleSound& m_sound;
    Noise m_noise;
    LowPass m_hiss[2] = {{0.3}, {0.3}};
    LowPass m_rumble[2] = {{0.985}, {0.985}};
    double m_phase = 0.0;
};

} // namespace

const std::vector<SampleSound>& sampleSounds() {
    static const std::vector<SampleSound> sounds = {
        {"ambient/rain_loop.wav", 44100, 2, 4.0, true},    {"ambient/drip1.wav", 22050, 1, 0.4, false},
        {"ambient/drip2.wav", 22050, 1, 0.4, false},       {"ambient/wind_loop.wav", 22050, 2, 6.0, true},
        {"ambient/wind_gust.wav", 44100, 1, 2.5, false},   {"ambient/room_tone.wav", 44100, 1, 3.0, true},
        {"ambient/clock_tick.wav", 22050, 1, 0.15, false},
    };
    return sounds;
}

std::vector<float> renderSampleSound(const SampleSound& sound) {
    const auto frames = static_cast<std::size_t>(sound.seconds * sound.sampleRate);
    const auto channels = static_cast<std::size_t>(sound.channels);
    // A loop is rendered longer and its tail cross-faded into its head, so the seam is smooth.
    const std::size_t overlap = sound.loop ? frames / 8 : 0;
    std::vector<double> raw((frames + overlap) * channels);
    Voice voice(sound);
    for (std::size_t i = 0; i < frames + overlap; ++i)
        for (std::size_t ch = 0; ch < channels; ++ch)
            raw[i * channels + ch] = voice.sample(i, static_cast<int>(ch));

    std::vector<float> out(frames * channels);
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t ch = 0; ch < channels; ++ch) {
            double v = raw[i * channels + ch];
            if (i < overlap) {
                const double w = static_cast<double>(i) / static_cast<double>(overlap);
                v = w * v + (1.0 - w) * raw[(i + frames) * channels + ch];
            } else if (!sound.loop) {
                v *= fadeEdges(static_cast<double>(i) / sound.sampleRate, sound.seconds, 0.002);
            }
            out[i * channels + ch] = static_cast<float>(std::clamp(v, -1.0, 1.0));
        }
    }
    return out;
}

bool writeSampleSounds(const std::string& soundFolder, std::string& error) {
    namespace fs = std::filesystem;
    for (const SampleSound& sound : sampleSounds()) {
        const fs::path path = fs::path(soundFolder) / fs::path(sound.name);
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec) {
            error = path.parent_path().string() + ": " + ec.message();
            return false;
        }
        SF_INFO info{};
        info.samplerate = sound.sampleRate;
        info.channels = sound.channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.string().c_str(), SFM_WRITE, &info);
        if (!file) {
            error = path.string() + ": " + sf_strerror(nullptr);
            return false;
        }
        const std::vector<float> samples = renderSampleSound(sound);
        const auto frames =
            static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(sound.channels));
        const sf_count_t written = sf_writef_float(file, samples.data(), frames);
        sf_close(file);
        if (written != frames) {
            error = path.string() + ": short write";
            return false;
        }
    }
    return true;
}

} // namespace tonvale
