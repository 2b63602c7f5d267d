// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "audio/AudioEngine.h"

#include <gtest/gtest.h>
#include <thread>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

constexpr int Rate = 44100;

class AudioEngineTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(audio.initLoopback(Rate)); }

    std::string wave(const std::string& name, WaveSpec shape = {}) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(writeWave(path, shape));
        return path;
    }
    // Opens a wave as the player's loop and starts it at full volume.
    AudioChannel startLoop(const std::string& path, float volume = 1.0f) {
        audio.loopingSound.path = path;
        EXPECT_TRUE(audio.openLoop());
        audio.setVolume(audio.loopingSound.channel, volume);
        EXPECT_TRUE(audio.playChannel(audio.loopingSound.channel));
        return audio.loopingSound.channel;
    }

    TempFolder dir;
    AudioEngine audio;
};

} // namespace

TEST(AudioEngineStatic, PitchFrequencyTruncatesTheProduct) {
    EXPECT_EQ(AudioEngine::pitchedFrequency(44100, 100), 44100u);
    EXPECT_EQ(AudioEngine::pitchedFrequency(44100, 50), 22050u);
    EXPECT_EQ(AudioEngine::pitchedFrequency(22050, 33), 7276u);
    EXPECT_EQ(AudioEngine::pitchedFrequency(44100, 250), 110250u);
}

TEST(AudioEngineStatic, ErrorTextCarriesTheCode) {
    EXPECT_EQ(AudioEngine::errorText("Error initializing audio!", 8),
              "Error initializing audio!\r\n(Error code: 8)");
}

TEST(AudioEngineStatic, VersionCheckAcceptsOnlyTheBackEndsOwnVersions) {
    EXPECT_TRUE(AudioEngine::versionSupported());
    EXPECT_TRUE(AudioEngine::versionAccepted(1, 1, "libsndfile-1.2.0"));
    EXPECT_FALSE(AudioEngine::versionAccepted(1, 0, "libsndfile-1.2.0"));
    EXPECT_FALSE(AudioEngine::versionAccepted(2, 0, "libsndfile-1.2.0"));
    EXPECT_FALSE(AudioEngine::versionAccepted(1, 1, "libsndfile-2.0.0"));
    EXPECT_FALSE(AudioEngine::versionAccepted(1, 1, ""));
}

TEST(AudioEngineStatic, FileNamePartIsAfterTheLastSeparator) {
    EXPECT_EQ(fileNamePart("C:\\game\\sound\\wind.wav"), "wind.wav");
    EXPECT_EQ(fileNamePart("/tmp/a/b.wav"), "b.wav");
    EXPECT_EQ(fileNamePart("C:b.wav"), "b.wav");
    EXPECT_EQ(fileNamePart("b.wav"), "b.wav");
}

TEST(AudioEngineStatic, EverythingFailsCleanlyBeforeInit) {
    AudioEngine audio;
    EXPECT_FALSE(audio.playFile("/nonexistent.wav"));
    EXPECT_FALSE(audio.openRandomWaves({"/nonexistent.wav"}));
    EXPECT_FALSE(audio.setMasterVolume(0.5f));
    EXPECT_FALSE(audio.playChannel(0));
    EXPECT_EQ(audio.openStream("/nonexistent.wav", false, false), 0u);
    EXPECT_EQ(audio.lastError(), AudioErrorInit);
    audio.releaseAll();
    audio.shutdown();
}

struct PitchCase {
    int fileRate;
    int pitch;
    double expected;
};

class PitchTest : public AudioEngineTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(PitchTest, PlaysAtTheRequestedFrequency) {
    const PitchCase c = GetParam();
    const std::string path = wave("sine.wav", {.frequency = 440, .seconds = 2, .sampleRate = c.fileRate});
    const AudioChannel ch = startLoop(path);
    ASSERT_EQ(audio.loopingSound.sampleRate, static_cast<std::uint32_t>(c.fileRate));
    ASSERT_TRUE(audio.setPitch(ch, audio.loopingSound.sampleRate, c.pitch));
    const auto out = audio.renderLoopback(Rate);
    EXPECT_NEAR(zeroCrossingFrequency(out, Rate / 10, out.size(), Rate), c.expected, c.expected * 0.01);
}

INSTANTIATE_TEST_SUITE_P(Rates, PitchTest,
                         ::testing::Values(PitchCase{44100, 100, 440}, PitchCase{44100, 50, 220},
                                           PitchCase{44100, 250, 1100}, PitchCase{22050, 100, 440},
                                           PitchCase{22050, 50, 220}, PitchCase{96000, 100, 440},
                                           PitchCase{8000, 100, 440}));

TEST_F(AudioEngineTest, PreviewPlaysAtItsOwnRate) {
    ASSERT_TRUE(audio.playFile(wave("sine.wav", {.frequency = 440, .sampleRate = 22050})));
    EXPECT_TRUE(audio.isPlaying(audio.previewChannel));
    const auto out = audio.renderLoopback(Rate / 2);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, out.size(), Rate), 440.0, 4.4);
    EXPECT_NEAR(peak(out, 0, out.size()), 0.8f, 0.02f);
}

TEST_F(AudioEngineTest, VolumeAndMasterVolumeScaleTheAmplitude) {
    const AudioChannel ch = startLoop(wave("sine.wav"), 0.5f);
    auto out = audio.renderLoopback(Rate / 5);
    EXPECT_NEAR(peak(out, Rate / 20, out.size()), 0.4f, 0.02f);
    ASSERT_TRUE(audio.setMasterVolume(0.25f));
    out = audio.renderLoopback(Rate / 5);
    EXPECT_NEAR(peak(out, Rate / 20, out.size()), 0.1f, 0.01f);
    ASSERT_TRUE(audio.setVolume(ch, 0.0f));
    out = audio.renderLoopback(Rate / 5);
    EXPECT_LT(peak(out, Rate / 20, out.size()), 0.001f);
    EXPECT_FALSE(audio.setMasterVolume(1.5f));
    EXPECT_FALSE(audio.setVolume(ch, -1.0f));
}

TEST_F(AudioEngineTest, LoopKeepsSoundingWhilePlainChannelStops) {
    const std::string path = wave("short.wav", {.frequency = 440, .seconds = 0.5});
    startLoop(path);
    ASSERT_TRUE(audio.openRandomWaves({path}));
    const AudioChannel plain = audio.randomWaves.channels.at(0);
    ASSERT_TRUE(audio.playChannel(plain));
    // The plain channel alone, heard through the mix, ends at 0.5 s; the loop still sounds at 1.4 s.
    auto out = audio.renderLoopback(Rate * 3 / 2);
    EXPECT_FALSE(audio.isPlaying(plain));
    EXPECT_TRUE(audio.isPlaying(audio.loopingSound.channel));
    EXPECT_NEAR(peak(out, Rate / 10, Rate * 4 / 10), 1.6f, 0.05f);  // both
    EXPECT_NEAR(peak(out, Rate * 6 / 10, out.size()), 0.8f, 0.03f); // the loop alone
    EXPECT_NEAR(zeroCrossingFrequency(out, Rate * 6 / 10, out.size(), Rate), 440.0, 4.4);
    EXPECT_NEAR(audio.lengthSeconds(plain), 0.5f, 0.001f);
}

TEST_F(AudioEngineTest, FadeInRisesFromSilenceOverAboutASecond) {
    const AudioChannel ch = startLoop(wave("sine.wav", {.frequency = 440, .seconds = 0.25}));
    ASSERT_TRUE(audio.fadeInVolume(ch, 0.5f));
    const auto out = audio.renderLoopback(Rate * 3 / 2);
    const std::size_t win = Rate / 20; // 50 ms windows
    EXPECT_LT(peak(out, 0, win), 0.05f);
    float previous = 0.0f;
    for (std::size_t start = win; start + win <= static_cast<std::size_t>(Rate); start += win) {
        const float p = peak(out, start, start + win);
        EXPECT_GE(p + 0.01f, previous) << "at " << start;
        previous = p;
    }
    // Half way (around 505 ms) the envelope is near half of its target (0.5 × 0.8 × 0.5 = 0.2).
    EXPECT_NEAR(peak(out, Rate / 2 - 441, Rate / 2 + 441), 0.2f, 0.03f);
    EXPECT_LT(peak(out, Rate * 9 / 10, Rate * 95 / 100), 0.39f);
    EXPECT_NEAR(peak(out, Rate * 105 / 100, out.size()), 0.4f, 0.01f);
    EXPECT_FLOAT_EQ(audio.channelGain(ch), 0.5f);
}

TEST_F(AudioEngineTest, ReleaseAllSoundsStopsAndFreesEverything) {
    const std::string path = wave("noise.wav", {.frequency = 0, .seconds = 2});
    startLoop(path);
    ASSERT_TRUE(audio.openRandomWaves({path, path}));
    for (AudioChannel ch : audio.randomWaves.channels)
        audio.playChannel(ch);
    ASSERT_TRUE(audio.playFile(path));
    audio.randomRanges.pitchStart = 50;
    ASSERT_GT(peak(audio.renderLoopback(Rate / 10), 0, Rate / 10), 0.5f);

    const AudioChannel preview = audio.previewChannel;
    audio.releaseAll();
    audio.releaseAll();
    EXPECT_EQ(audio.liveChannelCount(), 0u);
    EXPECT_FALSE(audio.isPlaying(preview));
    EXPECT_FALSE(audio.isPlaying(audio.previewChannel));
    EXPECT_TRUE(audio.randomWaves.channels.empty());
    EXPECT_EQ(audio.loopingSound.channel, 0u);
    EXPECT_EQ(audio.loopingSound.pitch, 100);
    EXPECT_EQ(audio.randomRanges.pitchStart, 100);
    const auto out = audio.renderLoopback(Rate / 10);
    EXPECT_EQ(peak(out, Rate / 50, out.size()), 0.0f);
}

TEST_F(AudioEngineTest, PlayListSkipsFilesThatDoNotOpen) {
    const std::string a = wave("a.wav", {.sampleRate = 22050});
    const std::string c = wave("c.wav", {.sampleRate = 48000});
    const std::string b = dir.file("b.wav");
    writeBytes(b, "RIFF not really a wave");
    ASSERT_TRUE(audio.openRandomWaves({a, b, c}));
    ASSERT_EQ(audio.randomWaves.channels.size(), 2u);
    EXPECT_EQ(audio.randomWaves.names, (std::vector<std::string>{"a.wav", "c.wav"}));
    EXPECT_EQ(audio.randomWaves.sampleRates, (std::vector<std::uint32_t>{22050, 48000}));
    EXPECT_EQ(audio.randomWaves.sampleRate, 48000u);
    // Building again frees the earlier channels.
    ASSERT_TRUE(audio.openRandomWaves({c}));
    EXPECT_EQ(audio.liveChannelCount(), 2u); // one playback channel and the decode stream it owns
    EXPECT_FALSE(audio.openRandomWaves({}));
    EXPECT_FALSE(audio.openRandomWaves({b}));
    EXPECT_TRUE(audio.randomWaves.channels.empty());
}

TEST_F(AudioEngineTest, EachRandomWaveIsPitchedFromItsOwnRate) {
    ASSERT_TRUE(audio.openRandomWaves({wave("slow.wav", {.seconds = 2, .sampleRate = 22050}),
                                       wave("fast.wav", {.seconds = 2, .sampleRate = 44100})}));
    for (std::size_t i = 0; i < 2; ++i) {
        const AudioChannel ch = audio.randomWaves.channels[i];
        ASSERT_TRUE(audio.setPitch(ch, audio.randomWaves.sampleRates[i], 100));
        ASSERT_TRUE(audio.playChannel(ch));
        const auto out = audio.renderLoopback(Rate / 2);
        EXPECT_NEAR(zeroCrossingFrequency(out, 0, out.size(), Rate), 440.0, 4.4) << "wave " << i;
        audio.stopChannel(ch);
    }
}

TEST_F(AudioEngineTest, LoopThatDoesNotDecodeLeavesNoChannel) {
    const std::string bad = dir.file("bad.wav");
    writeBytes(bad, std::string(100, 'x'));
    audio.loopingSound.path = bad;
    EXPECT_FALSE(audio.openLoop());
    EXPECT_EQ(audio.loopingSound.channel, 0u);
    audio.loopingSound.path = dir.file("missing.wav");
    EXPECT_FALSE(audio.openLoop());
    audio.loopingSound.path = dir.path(); // a folder is not a file
    EXPECT_FALSE(audio.openLoop());
    EXPECT_EQ(audio.liveChannelCount(), 0u);
}

TEST_F(AudioEngineTest, CallsOnDeadHandlesFail) {
    for (AudioChannel ch : {AudioChannel{0}, AudioChannel{12345}}) {
        EXPECT_FALSE(audio.playChannel(ch));
        EXPECT_FALSE(audio.isPlaying(ch));
        EXPECT_FALSE(audio.setVolume(ch, 0.5f));
        EXPECT_FALSE(audio.fadeInVolume(ch, 0.5f));
        EXPECT_FALSE(audio.setPitch(ch, 44100, 100));
        EXPECT_EQ(audio.channelFrequency(ch), 0u);
        EXPECT_EQ(audio.lengthSeconds(ch), 0.0f);
        audio.stopChannel(ch);
    }
    // A decode-only stream cannot play.
    const AudioChannel decoded = audio.openStream(wave("a.wav"), true, false);
    ASSERT_NE(decoded, 0u);
    EXPECT_FALSE(audio.playChannel(decoded));
    EXPECT_TRUE(audio.freeChannel(decoded));
    EXPECT_FALSE(audio.freeChannel(decoded));
}

// Files that must fail cleanly, with nothing left open.
struct BadFile {
    const char* name;
    std::string (*make)(const std::string& validWave);
};

class BadFileTest : public AudioEngineTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, FailsCleanly) {
    const std::string valid = wave("valid.wav", {.seconds = 0.2});
    const std::string path = dir.file("bad.wav");
    writeBytes(path, GetParam().make(readBytes(valid)));
    EXPECT_FALSE(audio.playFile(path));
    EXPECT_EQ(audio.previewChannel, 0u);
    EXPECT_FALSE(audio.openRandomWaves({path}));
    audio.loopingSound.path = path;
    EXPECT_FALSE(audio.openLoop());
    EXPECT_EQ(audio.liveChannelCount(), 0u);
    EXPECT_EQ(audio.lastError(), AudioErrorFormat);
    EXPECT_FALSE(audio.lastErrorReason().empty()); // the decoder's reason, for the message
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFileTest,
    ::testing::Values(BadFile{"Empty", [](const std::string&) { return std::string(); }},
                      BadFile{"Text", [](const std::string&) { return std::string("just some text\r\n"); }},
                      BadFile{"HeaderOnly", [](const std::string& w) { return w.substr(0, 44); }},
                      BadFile{"TruncatedHeader", [](const std::string& w) { return w.substr(0, 30); }},
                      BadFile{"Garbage",
                              [](const std::string& w) {
                                  std::string g = w;
                                  for (std::size_t i = 0; i < 40 && i < g.size(); ++i)
                                      g[i] = static_cast<char>(0xA5 ^ i);
                                  return g;
                              }}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(AudioEngineTest, TruncatedDataPlaysWhatIsThere) {
    const std::string full = readBytes(wave("full.wav", {.seconds = 1.0}));
    const std::string cut = dir.file("cut.wav");
    writeBytes(cut, full.substr(0, 44 + 22050 * 2)); // header claims 1 s, half of it is there
    ASSERT_TRUE(audio.playFile(cut));
    EXPECT_NEAR(audio.lengthSeconds(audio.previewChannel), 0.5f, 0.01f);
}

struct FormatCase {
    const char* name;
    int format;
    int rate;
    int channels;
};

class FormatTest : public AudioEngineTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatTest, DecodesAndPlaysAtItsRate) {
    const FormatCase c = GetParam();
    const std::string path = wave(
        "f.wav",
        {.frequency = 440, .seconds = 0.5, .sampleRate = c.rate, .channels = c.channels, .format = c.format});
    ASSERT_TRUE(audio.playFile(path));
    EXPECT_EQ(audio.channelFrequency(audio.previewChannel), static_cast<std::uint32_t>(c.rate));
    EXPECT_NEAR(audio.lengthSeconds(audio.previewChannel), 0.5f, 0.02f);
    const auto out = audio.renderLoopback(Rate / 4);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, out.size(), Rate), 440.0, 6.0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatTest,
    ::testing::Values(FormatCase{"U8Mono8k", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1},
                      FormatCase{"Pcm16Stereo", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2},
                      FormatCase{"Pcm24Mono48k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1},
                      FormatCase{"FloatStereo96k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 2},
                      FormatCase{"ImaAdpcm22k", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 22050, 1},
                      FormatCase{"MsAdpcmStereo", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 44100, 2},
                      FormatCase{"Flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1},
                      FormatCase{"FourChannels", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 4}),
    [](const auto& p) { return std::string(p.param.name); });

// With the null driver (no sound card needed) the default device opens and the slide worker runs
// the fade on the real clock.
TEST(AudioEngineNullDevice, FadeRunsOnTheWorker) {
    TempFolder dir;
    const std::string path = dir.file("a.wav");
    ASSERT_TRUE(writeWave(path, {.seconds = 0.3}));
    AudioEngine audio;
    ASSERT_TRUE(audio.init());
    EXPECT_FALSE(audio.init()); // already open
    audio.loopingSound.path = path;
    ASSERT_TRUE(audio.openLoop());
    ASSERT_TRUE(audio.fadeInVolume(audio.loopingSound.channel, 0.7f));
    ASSERT_TRUE(audio.playChannel(audio.loopingSound.channel));
    EXPECT_LT(audio.channelGain(audio.loopingSound.channel), 0.1f);
    for (int i = 0; i < 300 && audio.channelGain(audio.loopingSound.channel) < 0.7f; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FLOAT_EQ(audio.channelGain(audio.loopingSound.channel), 0.7f);
    EXPECT_TRUE(audio.isPlaying(audio.loopingSound.channel));
    audio.shutdown();
    EXPECT_FALSE(audio.initialised());
}
