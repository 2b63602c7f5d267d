#include "AudioTestHelpers.h"

#include "audio/PlayingWav.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

constexpr int Rate = 44100;

class PlayingWavTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audio.AudioInitLoopback(Rate)); }

    std::string wave(const std::string& name, WaveSpec shape = {}) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(writeWave(path, shape));
        return path;
    }
    // Opens a wave as the player's loop and starts it at full volume.
    AudioChannel startLoop(const std::string& path, float volume = 1.0f) {
        audio.LoopSound.FileName = path;
        EXPECT_TRUE(audio.OpenLoopSound());
        audio.SetChannelVolume(audio.LoopSound.Channel, volume);
        EXPECT_TRUE(audio.PlayChannel(audio.LoopSound.Channel));
        return audio.LoopSound.Channel;
    }

    TempFolder dir;
    PlayingWav audio;
};

} // namespace

TEST(PlayingWavStatic, PitchFrequencyTruncatesTheProduct) {
    EXPECT_EQ(PlayingWav::PitchFrequency(44100, 100), 44100u);
    EXPECT_EQ(PlayingWav::PitchFrequency(44100, 50), 22050u);
    EXPECT_EQ(PlayingWav::PitchFrequency(22050, 33), 7276u);
    EXPECT_EQ(PlayingWav::PitchFrequency(44100, 250), 110250u);
}

TEST(PlayingWavStatic, ErrorTextCarriesTheCode) {
    EXPECT_EQ(PlayingWav::AudioErrorText("Error initializing audio!", 8),
              "Error initializing audio!\r\n(Error code: 8)");
}

TEST(PlayingWavStatic, VersionCheckAcceptsOnlyTheBackEndsOwnVersions) {
    EXPECT_TRUE(PlayingWav::AudioVersionOk());
    EXPECT_TRUE(PlayingWav::versionAccepted(1, 1, "libsndfile-1.2.0"));
    EXPECT_FALSE(PlayingWav::versionAccepted(1, 0, "libsndfile-1.2.0"));
    EXPECT_FALSE(PlayingWav::versionAccepted(2, 0, "libsndfile-1.2.0"));
    EXPECT_FALSE(PlayingWav::versionAccepted(1, 1, "libsndfile-2.0.0"));
    EXPECT_FALSE(PlayingWav::versionAccepted(1, 1, ""));
}

TEST(PlayingWavStatic, FileNamePartIsAfterTheLastSeparator) {
    EXPECT_EQ(fileNamePart("C:\\game\\sound\\wind.wav"), "wind.wav");
    EXPECT_EQ(fileNamePart("/tmp/a/b.wav"), "b.wav");
    EXPECT_EQ(fileNamePart("C:b.wav"), "b.wav");
    EXPECT_EQ(fileNamePart("b.wav"), "b.wav");
}

TEST(PlayingWavStatic, EverythingFailsCleanlyBeforeInit) {
    PlayingWav audio;
    EXPECT_FALSE(audio.PlayWaveFile("/nonexistent.wav"));
    EXPECT_FALSE(audio.OpenPlayList({"/nonexistent.wav"}));
    EXPECT_FALSE(audio.SetMasterVolume(0.5f));
    EXPECT_FALSE(audio.PlayChannel(0));
    EXPECT_EQ(audio.streamCreateFile("/nonexistent.wav", false, false), 0u);
    EXPECT_EQ(audio.lastError(), AudioErrorInit);
    audio.ReleaseAllSounds();
    audio.AudioFree();
}

struct PitchCase {
    int fileRate;
    int pitch;
    double expected;
};

class PitchTest : public PlayingWavTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(PitchTest, PlaysAtTheRequestedFrequency) {
    const PitchCase c = GetParam();
    const std::string path = wave("sine.wav", {.frequency = 440, .seconds = 2, .sampleRate = c.fileRate});
    const AudioChannel ch = startLoop(path);
    ASSERT_EQ(audio.LoopSound.Freq, static_cast<std::uint32_t>(c.fileRate));
    ASSERT_TRUE(audio.SetChannelPitch(ch, audio.LoopSound.Freq, c.pitch));
    const auto out = audio.renderLoopback(Rate);
    EXPECT_NEAR(zeroCrossingFrequency(out, Rate / 10, out.size(), Rate), c.expected, c.expected * 0.01);
}

INSTANTIATE_TEST_SUITE_P(Rates, PitchTest,
                         ::testing::Values(PitchCase{44100, 100, 440}, PitchCase{44100, 50, 220},
                                           PitchCase{44100, 250, 1100}, PitchCase{22050, 100, 440},
                                           PitchCase{22050, 50, 220}, PitchCase{96000, 100, 440},
                                           PitchCase{8000, 100, 440}));

TEST_F(PlayingWavTest, PreviewPlaysAtItsOwnRate) {
    ASSERT_TRUE(audio.PlayWaveFile(wave("sine.wav", {.frequency = 440, .sampleRate = 22050})));
    EXPECT_TRUE(audio.IsChannelPlaying(audio.PreviewChannel));
    const auto out = audio.renderLoopback(Rate / 2);
    EXPECT_NEAR(zeroCrossingFrequency(out, 0, out.size(), Rate), 440.0, 4.4);
    EXPECT_NEAR(peak(out, 0, out.size()), 0.8f, 0.02f);
}

TEST_F(PlayingWavTest, VolumeAndMasterVolumeScaleTheAmplitude) {
    const AudioChannel ch = startLoop(wave("sine.wav"), 0.5f);
    auto out = audio.renderLoopback(Rate / 5);
    EXPECT_NEAR(peak(out, Rate / 20, out.size()), 0.4f, 0.02f);
    ASSERT_TRUE(audio.SetMasterVolume(0.25f));
    out = audio.renderLoopback(Rate / 5);
    EXPECT_NEAR(peak(out, Rate / 20, out.size()), 0.1f, 0.01f);
    ASSERT_TRUE(audio.SetChannelVolume(ch, 0.0f));
    out = audio.renderLoopback(Rate / 5);
    EXPECT_LT(peak(out, Rate / 20, out.size()), 0.001f);
    EXPECT_FALSE(audio.SetMasterVolume(1.5f));
    EXPECT_FALSE(audio.SetChannelVolume(ch, -1.0f));
}

TEST_F(PlayingWavTest, LoopKeepsSoundingWhilePlainChannelStops) {
    const std::string path = wave("short.wav", {.frequency = 440, .seconds = 0.5});
    startLoop(path);
    ASSERT_TRUE(audio.OpenPlayList({path}));
    const AudioChannel plain = audio.PlayList.Channels.at(0);
    ASSERT_TRUE(audio.PlayChannel(plain));
    // The plain channel alone, heard through the mix, ends at 0.5 s; the loop still sounds at 1.4 s.
    auto out = audio.renderLoopback(Rate * 3 / 2);
    EXPECT_FALSE(audio.IsChannelPlaying(plain));
    EXPECT_TRUE(audio.IsChannelPlaying(audio.LoopSound.Channel));
    EXPECT_NEAR(peak(out, Rate / 10, Rate * 4 / 10), 1.6f, 0.05f);   // both
    EXPECT_NEAR(peak(out, Rate * 6 / 10, out.size()), 0.8f, 0.03f);  // the loop alone
    EXPECT_NEAR(zeroCrossingFrequency(out, Rate * 6 / 10, out.size(), Rate), 440.0, 4.4);
    EXPECT_NEAR(audio.ChannelLengthSec(plain), 0.5f, 0.001f);
}

TEST_F(PlayingWavTest, FadeInRisesFromSilenceOverAboutASecond) {
    const AudioChannel ch = startLoop(wave("sine.wav", {.frequency = 440, .seconds = 0.25}));
    ASSERT_TRUE(audio.FadeInChannelVolume(ch, 0.5f));
    const auto out = audio.renderLoopback(Rate * 3 / 2);
    const std::size_t win = Rate / 20;  // 50 ms windows
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

TEST_F(PlayingWavTest, ReleaseAllSoundsStopsAndFreesEverything) {
    const std::string path = wave("noise.wav", {.frequency = 0, .seconds = 2});
    startLoop(path);
    ASSERT_TRUE(audio.OpenPlayList({path, path}));
    for (AudioChannel ch : audio.PlayList.Channels)
        audio.PlayChannel(ch);
    ASSERT_TRUE(audio.PlayWaveFile(path));
    audio.RandRanges.PitchStart = 50;
    ASSERT_GT(peak(audio.renderLoopback(Rate / 10), 0, Rate / 10), 0.5f);

    const AudioChannel preview = audio.PreviewChannel;
    audio.ReleaseAllSounds();
    audio.ReleaseAllSounds();
    EXPECT_EQ(audio.liveChannelCount(), 0u);
    EXPECT_FALSE(audio.IsChannelPlaying(preview));
    EXPECT_FALSE(audio.IsChannelPlaying(audio.PreviewChannel));
    EXPECT_TRUE(audio.PlayList.Channels.empty());
    EXPECT_EQ(audio.LoopSound.Channel, 0u);
    EXPECT_EQ(audio.LoopSound.Pitch, 100);
    EXPECT_EQ(audio.RandRanges.PitchStart, 100);
    const auto out = audio.renderLoopback(Rate / 10);
    EXPECT_EQ(peak(out, Rate / 50, out.size()), 0.0f);
}

TEST_F(PlayingWavTest, PlayListSkipsFilesThatDoNotOpen) {
    const std::string a = wave("a.wav", {.sampleRate = 22050});
    const std::string c = wave("c.wav", {.sampleRate = 48000});
    const std::string b = dir.file("b.wav");
    writeBytes(b, "RIFF not really a wave");
    ASSERT_TRUE(audio.OpenPlayList({a, b, c}));
    ASSERT_EQ(audio.PlayList.Channels.size(), 2u);
    EXPECT_EQ(audio.PlayList.Names, (std::vector<std::string>{"a.wav", "c.wav"}));
    EXPECT_EQ(audio.PlayList.Freqs, (std::vector<std::uint32_t>{22050, 48000}));
    EXPECT_EQ(audio.PlayList.Freq, 48000u);
    // Building again frees the earlier channels.
    ASSERT_TRUE(audio.OpenPlayList({c}));
    EXPECT_EQ(audio.liveChannelCount(), 2u);  // one playback channel and the decode stream it owns
    EXPECT_FALSE(audio.OpenPlayList({}));
    EXPECT_FALSE(audio.OpenPlayList({b}));
    EXPECT_TRUE(audio.PlayList.Channels.empty());
}

TEST_F(PlayingWavTest, EachRandomWaveIsPitchedFromItsOwnRate) {
    ASSERT_TRUE(audio.OpenPlayList({wave("slow.wav", {.seconds = 2, .sampleRate = 22050}),
                                    wave("fast.wav", {.seconds = 2, .sampleRate = 44100})}));
    for (std::size_t i = 0; i < 2; ++i) {
        const AudioChannel ch = audio.PlayList.Channels[i];
        ASSERT_TRUE(audio.SetChannelPitch(ch, audio.PlayList.Freqs[i], 100));
        ASSERT_TRUE(audio.PlayChannel(ch));
        const auto out = audio.renderLoopback(Rate / 2);
        EXPECT_NEAR(zeroCrossingFrequency(out, 0, out.size(), Rate), 440.0, 4.4) << "wave " << i;
        audio.StopChannel(ch);
    }
}

TEST_F(PlayingWavTest, LoopThatDoesNotDecodeLeavesNoChannel) {
    const std::string bad = dir.file("bad.wav");
    writeBytes(bad, std::string(100, 'x'));
    audio.LoopSound.FileName = bad;
    EXPECT_FALSE(audio.OpenLoopSound());
    EXPECT_EQ(audio.LoopSound.Channel, 0u);
    audio.LoopSound.FileName = dir.file("missing.wav");
    EXPECT_FALSE(audio.OpenLoopSound());
    audio.LoopSound.FileName = dir.path();  // a folder is not a file
    EXPECT_FALSE(audio.OpenLoopSound());
    EXPECT_EQ(audio.liveChannelCount(), 0u);
}

TEST_F(PlayingWavTest, CallsOnDeadHandlesFail) {
    for (AudioChannel ch : {AudioChannel{0}, AudioChannel{12345}}) {
        EXPECT_FALSE(audio.PlayChannel(ch));
        EXPECT_FALSE(audio.IsChannelPlaying(ch));
        EXPECT_FALSE(audio.SetChannelVolume(ch, 0.5f));
        EXPECT_FALSE(audio.FadeInChannelVolume(ch, 0.5f));
        EXPECT_FALSE(audio.SetChannelPitch(ch, 44100, 100));
        EXPECT_EQ(audio.ChannelFrequency(ch), 0u);
        EXPECT_EQ(audio.ChannelLengthSec(ch), 0.0f);
        audio.StopChannel(ch);
    }
    // A decode-only stream cannot play.
    const AudioChannel decoded = audio.streamCreateFile(wave("a.wav"), true, false);
    ASSERT_NE(decoded, 0u);
    EXPECT_FALSE(audio.PlayChannel(decoded));
    EXPECT_TRUE(audio.streamFree(decoded));
    EXPECT_FALSE(audio.streamFree(decoded));
}

// Files that must fail cleanly, with nothing left open.
struct BadFile {
    const char* name;
    std::string (*make)(const std::string& validWave);
};

class BadFileTest : public PlayingWavTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFileTest, FailsCleanly) {
    const std::string valid = wave("valid.wav", {.seconds = 0.2});
    const std::string path = dir.file("bad.wav");
    writeBytes(path, GetParam().make(readBytes(valid)));
    EXPECT_FALSE(audio.PlayWaveFile(path));
    EXPECT_EQ(audio.PreviewChannel, 0u);
    EXPECT_FALSE(audio.OpenPlayList({path}));
    audio.LoopSound.FileName = path;
    EXPECT_FALSE(audio.OpenLoopSound());
    EXPECT_EQ(audio.liveChannelCount(), 0u);
    EXPECT_EQ(audio.lastError(), AudioErrorFormat);
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

TEST_F(PlayingWavTest, TruncatedDataPlaysWhatIsThere) {
    const std::string full = readBytes(wave("full.wav", {.seconds = 1.0}));
    const std::string cut = dir.file("cut.wav");
    writeBytes(cut, full.substr(0, 44 + 22050 * 2));  // header claims 1 s, half of it is there
    ASSERT_TRUE(audio.PlayWaveFile(cut));
    EXPECT_NEAR(audio.ChannelLengthSec(audio.PreviewChannel), 0.5f, 0.01f);
}

struct FormatCase {
    const char* name;
    int format;
    int rate;
    int channels;
};

class FormatTest : public PlayingWavTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatTest, DecodesAndPlaysAtItsRate) {
    const FormatCase c = GetParam();
    const std::string path =
        wave("f.wav", {.frequency = 440, .seconds = 0.5, .sampleRate = c.rate, .channels = c.channels, .format = c.format});
    ASSERT_TRUE(audio.PlayWaveFile(path));
    EXPECT_EQ(audio.ChannelFrequency(audio.PreviewChannel), static_cast<std::uint32_t>(c.rate));
    EXPECT_NEAR(audio.ChannelLengthSec(audio.PreviewChannel), 0.5f, 0.02f);
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
TEST(PlayingWavNullDevice, FadeRunsOnTheWorker) {
    TempFolder dir;
    const std::string path = dir.file("a.wav");
    ASSERT_TRUE(writeWave(path, {.seconds = 0.3}));
    PlayingWav audio;
    ASSERT_TRUE(audio.AudioInit());
    EXPECT_FALSE(audio.AudioInit());  // already open
    audio.LoopSound.FileName = path;
    ASSERT_TRUE(audio.OpenLoopSound());
    ASSERT_TRUE(audio.FadeInChannelVolume(audio.LoopSound.Channel, 0.7f));
    ASSERT_TRUE(audio.PlayChannel(audio.LoopSound.Channel));
    EXPECT_LT(audio.channelGain(audio.LoopSound.Channel), 0.1f);
    for (int i = 0; i < 300 && audio.channelGain(audio.LoopSound.Channel) < 0.7f; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FLOAT_EQ(audio.channelGain(audio.LoopSound.Channel), 0.7f);
    EXPECT_TRUE(audio.IsChannelPlaying(audio.LoopSound.Channel));
    audio.AudioFree();
    EXPECT_FALSE(audio.initialised());
}
