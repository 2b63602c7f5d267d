// SPDX-License-Identifier: MIT
// The bundled sample project: its waves are made from code in the promised formats, and every wave
// its scripts name is there.

#include "SampleSounds.h"
#include "document/Loader.h"
#include "document/SoundPaths.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sndfile.h>

using namespace tonvale;
namespace fs = std::filesystem;

namespace {

class SampleProject : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_folder = new fs::path(fs::temp_directory_path() /
                                ("tonvale-sample-" + std::to_string(std::random_device{}())));
        fs::remove_all(*s_folder);
        std::string error;
        ASSERT_TRUE(writeSampleSounds(s_folder->string(), error)) << error;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*s_folder);
        delete s_folder;
        s_folder = nullptr;
    }
    static fs::path* s_folder;
};
fs::path* SampleProject::s_folder = nullptr;

float peakOf(const std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::abs(s));
    return peak;
}

} // namespace

TEST_F(SampleProject, EveryWaveIsReadableInItsFormat) {
    std::set<int> rates;
    std::set<int> channels;
    for (const SampleSound& sound : sampleSounds()) {
        SCOPED_TRACE(sound.name);
        SF_INFO info{};
        SNDFILE* file = sf_open((*s_folder / sound.name).string().c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr);
        std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
        EXPECT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames);
        sf_close(file);
        EXPECT_EQ(info.samplerate, sound.sampleRate);
        EXPECT_EQ(info.channels, sound.channels);
        EXPECT_EQ(info.frames, static_cast<sf_count_t>(sound.seconds * sound.sampleRate));
        // Audible, and not clipped flat.
        EXPECT_GT(peakOf(samples), 0.05f);
        EXPECT_LT(peakOf(samples), 1.0f);
        rates.insert(info.samplerate);
        channels.insert(info.channels);
    }
    EXPECT_EQ(rates, (std::set<int>{22050, 44100}));
    EXPECT_EQ(channels, (std::set<int>{1, 2}));
}

TEST_F(SampleProject, LoopsRunIntoTheirStartAndOneShotsEndInSilence) {
    for (const SampleSound& sound : sampleSounds()) {
        SCOPED_TRACE(sound.name);
        const std::vector<float> samples = renderSampleSound(sound);
        const auto ch = static_cast<std::size_t>(sound.channels);
        const std::size_t last = samples.size() - ch;
        for (std::size_t c = 0; c < ch; ++c) {
            if (!sound.loop) {
                EXPECT_LT(std::abs(samples[last + c]), 0.01f);
                continue;
            }
            // The step from the last frame to the first is no bigger than steps inside the sound.
            float largestStep = 0;
            for (std::size_t i = c + ch; i < samples.size(); i += ch)
                largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - ch]));
            EXPECT_LE(std::abs(samples[last + c] - samples[c]), largestStep) << "channel " << c;
        }
    }
    // The same sound comes out the same on every run.
    EXPECT_EQ(renderSampleSound(sampleSounds().front()), renderSampleSound(sampleSounds().front()));
}

TEST_F(SampleProject, EveryWaveTheSampleScriptsNameExists) {
    std::size_t scripts = 0;
    std::size_t waves = 0;
    for (const auto& entry : fs::directory_iterator(TONVALE_SAMPLE_SCRIPTS)) {
        SCOPED_TRACE(entry.path().filename().string());
        LoadResult loaded = loadScriptFile(entry.path().string());
        ASSERT_TRUE(loaded.ok());
        ++scripts;
        for (const Node* node = loaded.tree.first(); node; node = loaded.tree.next(node)) {
            if (node->text() != "\"wave\"" || !node->data())
                continue;
            ++waves;
            EXPECT_TRUE(findWaveFile(s_folder->string(), node->data()->value).has_value())
                << node->data()->value;
        }
    }
    EXPECT_GE(scripts, 2u);
    EXPECT_GE(waves, 8u);
}
