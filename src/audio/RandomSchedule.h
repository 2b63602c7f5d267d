// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tonvale {

// A source of uniformly distributed indices: below(n) is a whole number from 0 to n - 1.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    virtual int below(int n) = 0;
};

// The program's generator, seeded from the clock.
class ClockSeededRandom final : public RandomSource {
  public:
    ClockSeededRandom();
    explicit ClockSeededRandom(std::uint32_t seed) : m_engine(seed) {}
    int below(int n) override;

  private:
    std::mt19937 m_engine;
};

// A generator whose draws are the same on every platform and standard library for the same seed:
// mt19937's output (fixed by the standard) reduced to 0..n-1 by rejection, not by a library
// distribution. The whole-soundscape player and the renderer take every random decision from one.
class SeededRandom final : public RandomSource {
  public:
    explicit SeededRandom(std::uint32_t seed) : m_engine(seed) {}
    // Draws nothing for n <= 1 (the answer is 0).
    int below(int n) override;
    // A seed for a run that was given none.
    static std::uint32_t freshSeed();

  private:
    std::mt19937 m_engine;
};

// One random wave to start: which wave, at which volume and pitch, and the delay until the next one.
struct RandomDraw {
    std::uint32_t delayMs = 0;
    int wave = 0;
    double volume = 0.0;
    int pitch = 100;
};

// The random part of the soundscape player: the candidate lists built from the range bars, and the
// draws that pick the next delay, wave, volume and pitch (in that order). The panel's randomTimer timer
// asks for a draw and plays it; nothing here waits or touches audio.
class RandomSchedule {
  public:
    explicit RandomSchedule(RandomSource& random) : m_random(random) {}

    // Positions of the start and end bars (start >= end, the bars keep them ordered).
    void buildTimeList(int startPos, int endPos);
    void buildVolumeList(int startPos, int endPos);
    void buildPitchList(int startPos, int endPos);

    // Start of the random part: draws the first delay and a volume. Nothing when the lists are empty.
    std::optional<std::uint32_t> start();
    // The next wave among `waveCount`: draws time, wave, volume and pitch. Nothing when a list is
    // empty or there are no waves.
    std::optional<RandomDraw> next(int waveCount);

    // " Ожидание... через <s> сек. Volume = <v>. Pitch = <p>" from the current indices; an index left
    // beyond a list that was narrowed meanwhile reads the list's last entry.
    std::string waitingText() const;
    // " [<name>] Volume = <v>. Pitch = <p>; Ожидание... через <s> сек."
    static std::string playingText(const std::string& name, const RandomDraw& draw);

    const std::vector<std::uint32_t>& timeList() const { return m_timeList; }
    const std::vector<double>& volumeList() const { return m_volList; }
    const std::vector<int>& pitchList() const { return m_pitchList; }
    int timeHigh() const { return m_timeHigh; }
    int volumeHigh() const { return m_volHigh; }
    int pitchHigh() const { return m_pitchHigh; }
    int currentTime() const { return m_curTime; }
    int currentWave() const { return m_curWave; }
    int currentVolume() const { return m_curVol; }
    int currentPitch() const { return m_curPitch; }

  private:
    int draw(int high) { return m_random.below(high + 1); }

    RandomSource& m_random;
    std::vector<std::uint32_t> m_timeList;
    std::vector<double> m_volList;
    std::vector<int> m_pitchList;
    int m_timeHigh = 0;
    int m_volHigh = 0;
    int m_pitchHigh = 0;
    int m_curWave = 0;
    int m_curTime = 0;
    int m_curVol = 0;
    int m_curPitch = 0;
};

} // namespace tonvale
