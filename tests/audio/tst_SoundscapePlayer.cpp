// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "audio/SoundscapeRender.h"
#include "audio/WaveDecoder.h"
#include "document/Loader.h"

#include <gtest/gtest.h>
#include <thread>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

constexpr int Rate = 44100;

// One channel of interleaved stereo samples.
std::vector<float> channel(const std::vector<float>& stereo, int which) {
    std::vector<float> out(stereo.size() / 2);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = stereo[2 * i + static_cast<std::size_t>(which)];
    return out;
}

// Amplitude of one frequency over [from, to), by correlation with a sine and a cosine.
double toneAmplitude(const std::vector<float>& s, double frequency, std::size_t from, std::size_t to) {
    double re = 0.0;
    double im = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double phase = 2.0 * M_PI * frequency * static_cast<double>(i) / Rate;
        re += s[i] * std::cos(phase);
        im += s[i] * std::sin(phase);
    }
    return 2.0 * std::sqrt(re * re + im * im) / static_cast<double>(to - from);
}

// A burst that starts at its full amplitude (a cosine), so its first sample marks its start.
bool writeBurst(const std::string& path, double frequency, double seconds) {
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<short> data(static_cast<std::size_t>(seconds * Rate));
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<short>(
            std::lround(16000.0 * std::cos(2.0 * M_PI * frequency * static_cast<double>(i) / Rate)));
    sf_writef_short(file, data.data(), static_cast<sf_count_t>(data.size()));
    sf_close(file);
    return true;
}

class SoundscapePlayerTest : public ::testing::Test {
  protected:
    SoundscapeMix gather(const std::string& script, const std::string& name) {
        loaded = loadScript(script);
        EXPECT_TRUE(loaded.ok());
        return gatherSoundscape(loaded.tree, findSoundscape(loaded.tree, name), sounds.path());
    }
    std::vector<float> render(const SoundscapeMix& mix, double seconds, std::uint32_t seed = 1) {
        std::vector<float> out;
        last = renderSoundscapeSamples(mix, {seconds, Rate, seed}, out);
        EXPECT_EQ(last.outcome, RenderOutcome::Written) << last.error;
        EXPECT_EQ(out.size(), static_cast<std::size_t>(seconds * Rate) * 2);
        return out;
    }

    TempFolder sounds;
    LoadResult loaded;
    RenderResult last;
};

std::string loopScript(const std::string& name, const std::string& wave, const std::string& extra = {}) {
    return "\"" + name + "\"\n{\n\"playlooping\"\n{\n\"wave\" \"" + wave + "\"\n" + extra + "}\n";
}

} // namespace

TEST_F(SoundscapePlayerTest, ANestedSoundscapePlaysAtItsReferenceVolume) {
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 1, .amplitude = 0.5}));
    ASSERT_TRUE(writeWave(sounds.file("660.wav"), {.frequency = 660, .seconds = 1, .amplitude = 0.5}));
    const std::string script = loopScript("outer", "440.wav") +
                               "\"playsoundscape\"\n{\n\"name\" \"inner\"\n\"volume\" \"0.5\"\n}\n}\n" +
                               loopScript("inner", "660.wav") + "}\n";
    const std::vector<float> out = render(gather(script, "outer"), 3.0);
    const std::vector<float> left = channel(out, 0);
    const std::vector<float> right = channel(out, 1);
    EXPECT_EQ(left, right); // mono waves reach both sides at their own level
    // Across a loop seam (1 s), well inside the render.
    const double a440 = toneAmplitude(left, 440, Rate / 2, 2 * Rate + Rate / 2);
    const double a660 = toneAmplitude(left, 660, Rate / 2, 2 * Rate + Rate / 2);
    EXPECT_NEAR(a440, 0.5, 0.005);
    EXPECT_NEAR(a660 / a440, 0.5, 0.01);
    EXPECT_NEAR(
        zeroCrossingFrequency(channel(render(gather(loopScript("o", "440.wav") + "}\n", "o"), 2.0), 0), 0,
                              2 * Rate, Rate),
        440.0, 0.5);
}

namespace {

struct PitchCase {
    const char* name;
    const char* block; // the soundscape's one block
    double expected;   // Hz
};

class PitchedPlayback : public SoundscapePlayerTest, public ::testing::WithParamInterface<PitchCase> {};

} // namespace

TEST_P(PitchedPlayback, ChangesTheFrequencyByThePercentage) {
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 4}));
    ASSERT_TRUE(writeWave(sounds.file("slow.wav"), {.frequency = 440, .seconds = 4, .sampleRate = 22050}));
    const std::vector<float> left =
        channel(render(gather(std::string("\"s\"\n{\n") + GetParam().block + "}\n", "s"), 2.0), 0);
    EXPECT_NEAR(zeroCrossingFrequency(left, Rate / 2, 2 * Rate, Rate), GetParam().expected, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Player, PitchedPlayback,
    ::testing::Values(
        PitchCase{"LoopAtHalf", "\"playlooping\"\n{\n\"wave\" \"440.wav\"\n\"pitch\" \"50\"\n}\n", 220},
        PitchCase{"LoopAtDouble", "\"playlooping\"\n{\n\"wave\" \"440.wav\"\n\"pitch\" \"200\"\n}\n", 880},
        PitchCase{"OtherRateAtHalf", "\"playlooping\"\n{\n\"wave\" \"slow.wav\"\n\"pitch\" \"50\"\n}\n", 220},
        PitchCase{"RandomAtHalf",
                  "\"playrandom\"\n{\n\"time\" \"0.1\"\n\"pitch\" \"50\"\n\"rndwave\"\n{\n\"wave\" "
                  "\"440.wav\"\n}\n}\n",
                  220}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SoundscapePlayerTest, RandomBlocksStartTheirWavesInsideTheirOwnRangesAtThePredictedSamples) {
    ASSERT_TRUE(writeBurst(sounds.file("low.wav"), 300, 0.1));
    ASSERT_TRUE(writeBurst(sounds.file("high.wav"), 2000, 0.1));
    const SoundscapeMix mix = gather(R"("s"
{
	"playrandom"
	{
		"time"	"1,2"
		"volume"	"0.5,1"
		"rndwave"
		{
			"wave"	"low.wav"
		}
	}
	"playrandom"
	{
		"time"	"3,4"
		"rndwave"
		{
			"wave"	"high.wav"
		}
	}
}
)",
                                     "s");
    constexpr std::uint32_t Seed = 20240;
    constexpr double Seconds = 20.0;
    const std::vector<float> left = channel(render(mix, Seconds, Seed), 0);

    // The first delays come first from the seeded source, one block after the other.
    SeededRandom random(Seed);
    const std::uint64_t firstLow = 1000 + static_cast<std::uint64_t>(random.below(1001));
    const std::uint64_t firstHigh = 3000 + static_cast<std::uint64_t>(random.below(1001));

    const std::vector<RandomStart> predicted = SoundscapeSchedule::predict(mix.randoms, Seed, 20000);
    ASSERT_EQ(last.starts.size(), predicted.size());
    std::uint64_t previous[2] = {0, 0};
    int count[2] = {0, 0};
    for (std::size_t i = 0; i < predicted.size(); ++i) {
        const RandomStart& p = predicted[i];
        EXPECT_EQ(last.starts[i].ms, p.ms);
        EXPECT_EQ(last.starts[i].block, p.block);
        // Inside the block's own range after its previous start.
        const std::uint64_t gap = p.ms - previous[p.block];
        const std::uint64_t low = p.block == 0 ? 1000 : 3000;
        EXPECT_TRUE(gap >= low && gap <= low + 1000) << p.block << " " << gap;
        if (count[p.block]++ == 0) {
            EXPECT_EQ(p.ms, p.block == 0 ? firstLow : firstHigh);
        }
        previous[p.block] = p.ms;

        // The wave starts on the predicted sample, from its first (full) value, with its own tone.
        const auto frame = static_cast<std::size_t>(p.ms * Rate / 1000);
        const bool quietBefore = i == 0 || p.ms - predicted[i - 1].ms > 100;
        if (quietBefore) {
            EXPECT_EQ(left[frame - 1], 0.0f) << p.ms;
            EXPECT_NEAR(left[frame], p.volume * 16000.0f / 32768.0f, 1e-3) << p.ms;
        }
        const bool alone = quietBefore && (i + 1 == predicted.size() || predicted[i + 1].ms - p.ms > 100);
        if (alone) {
            EXPECT_NEAR(zeroCrossingFrequency(left, frame, frame + Rate / 10, Rate),
                        p.block == 0 ? 300 : 2000, 15);
        }
    }
    EXPECT_GE(count[0], 10);
    EXPECT_GE(count[1], 4);

    // Nothing else starts: every silence-to-sound edge is a predicted start.
    std::size_t edges = 0;
    for (std::size_t f = 1; f < left.size(); ++f)
        if (left[f - 1] == 0.0f && left[f] != 0.0f && (f < 2 || left[f - 2] == 0.0f))
            ++edges;
    std::size_t separate = 0;
    for (std::size_t i = 0; i < predicted.size(); ++i)
        separate += i == 0 || predicted[i].ms - predicted[i - 1].ms > 100;
    EXPECT_EQ(edges, separate);
}

TEST_F(SoundscapePlayerTest, TheSameSeedGivesTheSameSamplesAndAnotherSeedOtherStarts) {
    ASSERT_TRUE(writeWave(sounds.file("noise.wav"), {.frequency = 0, .seconds = 0.3}));
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 0.5}));
    const SoundscapeMix mix = gather(R"("s"
{
	"playlooping"
	{
		"wave"	"440.wav"
		"volume"	"0.3"
	}
	"playrandom"
	{
		"time"	"0.2,0.9"
		"volume"	"0.1,0.9"
		"pitch"	"70,130"
		"rndwave"
		{
			"wave"	"noise.wav"
			"wave"	"440.wav"
		}
	}
}
)",
                                     "s");
    const std::vector<float> a = render(mix, 5.0, 77);
    const std::vector<RandomStart> startsA = last.starts;
    const std::vector<float> b = render(mix, 5.0, 77);
    EXPECT_EQ(a, b);
    render(mix, 5.0, 78);
    ASSERT_FALSE(startsA.empty());
    EXPECT_NE(last.starts.front().ms, startsA.front().ms);
}

TEST_F(SoundscapePlayerTest, ACycleOfReferencesRendersEachSoundscapeOnce) {
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 1, .amplitude = 0.25}));
    ASSERT_TRUE(writeWave(sounds.file("660.wav"), {.frequency = 660, .seconds = 1, .amplitude = 0.25}));
    const std::string script = loopScript("a", "440.wav") + "\"playsoundscape\"\n{\n\"name\" \"b\"\n}\n}\n" +
                               loopScript("b", "660.wav") + "\"playsoundscape\"\n{\n\"name\" \"a\"\n}\n}\n";
    const std::vector<float> left = channel(render(gather(script, "a"), 2.0), 0);
    ASSERT_EQ(last.problems.size(), 1u);
    EXPECT_EQ(last.problems[0].kind, MixProblemKind::Cycle);
    EXPECT_NEAR(toneAmplitude(left, 440, 0, 2 * Rate), 0.25, 0.005);
    EXPECT_NEAR(toneAmplitude(left, 660, 0, 2 * Rate), 0.25, 0.005);
}

namespace {

struct FormatCase {
    const char* name;
    const char* extension;
    int format;
    int sampleRate;
};

class WaveFormats : public SoundscapePlayerTest, public ::testing::WithParamInterface<FormatCase> {};

} // namespace

TEST_P(WaveFormats, DecodeAndPlayAtTheirOwnPitchAndLevel) {
    const FormatCase& c = GetParam();
    SF_INFO probe{};
    probe.samplerate = c.sampleRate;
    probe.channels = 1;
    probe.format = c.format;
    if (!sf_format_check(&probe))
        GTEST_SKIP() << "this libsndfile cannot write " << c.name;
    const std::string file = std::string("tone.") + c.extension;
    ASSERT_TRUE(writeWave(
        sounds.file(file),
        {.frequency = 440, .seconds = 2, .sampleRate = c.sampleRate, .format = c.format, .amplitude = 0.3}));
    DecodedWave decoded;
    std::string reason;
    ASSERT_TRUE(decodeWaveFile(sounds.file(file), decoded, reason));
    EXPECT_EQ(decoded.sampleRate, static_cast<std::uint32_t>(c.sampleRate));
    EXPECT_GT(decoded.frames, c.sampleRate); // more than a second of it

    const std::vector<float> left = channel(render(gather(loopScript("s", file) + "}\n", "s"), 1.5), 0);
    EXPECT_NEAR(zeroCrossingFrequency(left, Rate / 10, Rate + Rate / 10, Rate), 440.0, 1.0);
    EXPECT_NEAR(toneAmplitude(left, 440, Rate / 10, Rate + Rate / 10), 0.3, 0.02);
}

TEST(WaveDecoding, ClipsFloatValuesBeyondFullScaleInsteadOfWrapping) {
    TempFolder dir;
    ASSERT_TRUE(writeWave(
        dir.file("loud.wav"),
        {.frequency = 100, .seconds = 0.1, .format = SF_FORMAT_WAV | SF_FORMAT_FLOAT, .amplitude = 1.5}));
    DecodedWave decoded;
    std::string reason;
    ASSERT_TRUE(decodeWaveFile(dir.file("loud.wav"), decoded, reason));
    // A quarter period in: the sine is at its top, beyond full scale.
    EXPECT_EQ(decoded.samples[Rate / 400], 32767);
    EXPECT_EQ(decoded.samples[3 * Rate / 400], -32768);
    EXPECT_EQ(*std::max_element(decoded.samples.begin(), decoded.samples.end()), 32767);
}

INSTANTIATE_TEST_SUITE_P(
    Player, WaveFormats,
    ::testing::Values(FormatCase{"Mp3", "mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100},
                      FormatCase{"OggVorbis", "ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000},
                      FormatCase{"Flac", "flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 22050},
                      FormatCase{"FloatWave", "wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SoundscapePlayerTest, WavesThatCannotBeDecodedAreReportedAndTheRestPlays) {
    writeBytes(sounds.file("broken.wav"), "RIFF....WAVEnot really");
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 1}));
    const std::vector<float> left = channel(
        render(
            gather(loopScript("s", "broken.wav") + "\"playlooping\"\n{\n\"wave\" \"440.wav\"\n}\n}\n", "s"),
            1.0),
        0);
    ASSERT_EQ(last.problems.size(), 1u);
    EXPECT_EQ(last.problems[0].kind, MixProblemKind::UndecodableWave);
    EXPECT_EQ(last.problems[0].subject, "broken.wav");
    EXPECT_NEAR(zeroCrossingFrequency(left, 0, Rate, Rate), 440.0, 0.5);
}

TEST_F(SoundscapePlayerTest, LivePlaybackShowsWhatPlaysAndStopReleasesEveryChannel) {
    ASSERT_TRUE(writeWave(sounds.file("wind.wav"), {.seconds = 1}));
    ASSERT_TRUE(writeWave(sounds.file("drip.wav"), {.seconds = 0.5}));
    AudioEngine audio;
    ASSERT_TRUE(audio.initLoopback(Rate, 2));
    const std::size_t before = audio.liveChannelCount();
    SoundscapePlayer player(audio);
    player.setMix(gather(loopScript("s", "wind.wav", "\"volume\" \"0.5\"\n") +
                             "\"playrandom\"\n{\n\"time\" \"1\"\n\"pitch\" \"120\"\n\"rndwave\"\n{\n\"wave\" "
                             "\"drip.wav\"\n}\n}\n}\n",
                         "s"));
    EXPECT_EQ(player.statusText(), "");
    ASSERT_TRUE(player.start(3));
    EXPECT_EQ(player.nextStartMs(), 1000u);
    EXPECT_EQ(player.statusText(), " Looping: wind.wav");
    player.advanceTo(999);
    EXPECT_TRUE(player.starts().empty());
    audio.renderLoopback(Rate);
    player.advanceTo(1000);
    audio.renderLoopback(Rate / 10);
    ASSERT_EQ(player.starts().size(), 1u);
    EXPECT_EQ(player.statusText(), " Looping: wind.wav; Random: [drip.wav] Volume = 1. Pitch = 120");
    EXPECT_GT(audio.liveChannelCount(), before);

    player.stop();
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(player.channelCount(), 0u);
    EXPECT_EQ(audio.liveChannelCount(), before);
    EXPECT_EQ(player.statusText(), "");
    EXPECT_FALSE(player.nextStartMs());
    // Starting again plays from the beginning of the schedule.
    ASSERT_TRUE(player.start(3));
    EXPECT_EQ(player.nextStartMs(), 1000u);
}

TEST_F(SoundscapePlayerTest, LiveTicksSkipStartsLeftFarBehindByAStall) {
    ASSERT_TRUE(writeWave(sounds.file("drip.wav"), {.seconds = 0.2}));
    const SoundscapeMix mix = gather(
        "\"s\"\n{\n\"playrandom\"\n{\n\"time\" \"0.5\"\n\"rndwave\"\n{\n\"wave\" \"drip.wav\"\n}\n}\n}\n",
        "s");
    AudioEngine audio;
    ASSERT_TRUE(audio.initLoopback(Rate, 2));
    SoundscapePlayer player(audio);
    player.setMix(mix);
    ASSERT_TRUE(player.start(1));
    player.tickAt(520); // 20 ms late: plays
    ASSERT_EQ(player.starts().size(), 1u);
    player.tickAt(5000); // a stall: of the starts at 1000 .. 5000 ms only those of the last second play
    std::vector<std::uint64_t> played;
    for (const RandomStart& s : player.starts())
        played.push_back(s.ms);
    EXPECT_EQ(played, (std::vector<std::uint64_t>{500, 4000, 4500, 5000}));
    EXPECT_EQ(player.nextStartMs(), 5500u); // the schedule kept its times
}

TEST_F(SoundscapePlayerTest, RepeatedStartsOfOneWaveOverlapUpToTheVoiceLimit) {
    ASSERT_TRUE(writeWave(sounds.file("long.wav"), {.seconds = 30}));
    AudioEngine audio;
    ASSERT_TRUE(audio.initLoopback(Rate, 2));
    SoundscapePlayer player(audio);
    player.setMix(gather(
        "\"s\"\n{\n\"playrandom\"\n{\n\"time\" \"0.1\"\n\"rndwave\"\n{\n\"wave\" \"long.wav\"\n}\n}\n}\n",
        "s"));
    ASSERT_TRUE(player.start(1));
    for (std::uint64_t ms = 100; ms <= 100 * (SoundscapePlayer::MaxVoices + 10); ms += 100) {
        player.advanceTo(ms);
        audio.renderLoopback(Rate / 10);
    }
    EXPECT_EQ(player.nowPlaying().size(), SoundscapePlayer::MaxVoices);
    EXPECT_EQ(player.channelCount(), SoundscapePlayer::MaxVoices + 1); // the voices and the decoded wave
}

TEST_F(SoundscapePlayerTest, AnOfflineRenderLeavesTheProgramsOwnDeviceAlone) {
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 1}));
    const SoundscapeMix mix = gather(loopScript("s", "440.wav") + "}\n", "s");
    // The program's device: a loop playing on a process-wide context.
    AudioEngine live;
    ASSERT_TRUE(live.initLoopback(Rate));
    live.loopingSound.path = sounds.file("440.wav");
    ASSERT_TRUE(live.openLoop());
    ASSERT_TRUE(live.playChannel(live.loopingSound.channel));

    int reports = 0;
    std::vector<float> out;
    const RenderResult same = renderSoundscapeSamples(mix, {2.0, Rate, 1}, out, [&](double done) {
        EXPECT_TRUE(live.isPlaying(live.loopingSound.channel)); // the program's context is in place here
        EXPECT_GT(done, 0.0);
        ++reports;
        return true;
    });
    EXPECT_EQ(same.outcome, RenderOutcome::Written);
    EXPECT_EQ(reports, 8);
    std::vector<float> fromThread;
    std::thread worker([&] { renderSoundscapeSamples(mix, {2.0, Rate, 1}, fromThread); });
    worker.join();
    EXPECT_EQ(fromThread, out);
    const std::vector<float> liveOut = live.renderLoopback(Rate);
    EXPECT_NEAR(zeroCrossingFrequency(liveOut, 0, Rate, Rate), 440.0, 0.5);
    EXPECT_TRUE(live.isPlaying(live.loopingSound.channel));
}

TEST_F(SoundscapePlayerTest, RenderingToAFileWritesSixteenBitStereoOrNothing) {
    ASSERT_TRUE(writeWave(sounds.file("440.wav"), {.frequency = 440, .seconds = 1}));
    const SoundscapeMix mix = gather(loopScript("s", "440.wav", "\"volume\" \"0.5\"\n") + "}\n", "s");
    const std::string path = sounds.file("out.wav");
    RenderResult r = renderSoundscape(mix, {1.5, 22050, 1}, path);
    ASSERT_EQ(r.outcome, RenderOutcome::Written) << r.error;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_EQ(info.frames, 33075);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<short> pcm(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_short(file, pcm.data(), info.frames);
    sf_close(file);
    EXPECT_NEAR(*std::max_element(pcm.begin(), pcm.end()), 0.4 * 32767, 40);

    // A cancelled render leaves neither the file nor its temporary beside it.
    const std::string cancelled = sounds.file("cancelled.wav");
    r = renderSoundscape(mix, {10.0, Rate, 1}, cancelled, [](double done) { return done < 0.3; });
    EXPECT_EQ(r.outcome, RenderOutcome::Cancelled);
    EXPECT_LT(r.frames, static_cast<std::uint64_t>(5 * Rate));
    // A folder that does not exist, and the folder itself as the target.
    r = renderSoundscape(mix, {1.0, Rate, 1}, sounds.file("no/such/folder/out.wav"));
    EXPECT_EQ(r.outcome, RenderOutcome::WriteFailed);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(renderSoundscape(mix, {1.0, Rate, 1}, sounds.path()).outcome, RenderOutcome::WriteFailed);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(sounds.path()))
        ++files;
    EXPECT_EQ(files, 2u); // 440.wav and out.wav

    // Out-of-range settings render nothing.
    std::vector<float> samples;
    EXPECT_EQ(renderSoundscapeSamples(mix, {0.0, Rate, 1}, samples).outcome, RenderOutcome::NoAudio);
    EXPECT_EQ(renderSoundscapeSamples(mix, {1.0, 1000, 1}, samples).outcome, RenderOutcome::NoAudio);
}

TEST(RenderSamples, AreClampedAndRoundedToSixteenBits) {
    EXPECT_EQ(toPcm16(0.0f), 0);
    EXPECT_EQ(toPcm16(1.0f), 32767);
    EXPECT_EQ(toPcm16(2.5f), 32767);
    EXPECT_EQ(toPcm16(-1.5f), -32767);
    EXPECT_EQ(toPcm16(0.5f), 16384); // 16383.5 rounds away from zero
    EXPECT_EQ(toPcm16(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(SeededRandomSource, DrawsInRangeWithoutBiasAndRepeatsForASeed) {
    SeededRandom a(5);
    SeededRandom b(5);
    std::vector<int> counts(3, 0);
    for (int i = 0; i < 30000; ++i) {
        const int x = a.below(3);
        ASSERT_EQ(x, b.below(3));
        ASSERT_GE(x, 0);
        ASSERT_LT(x, 3);
        ++counts[static_cast<std::size_t>(x)];
    }
    for (int c : counts)
        EXPECT_NEAR(c, 10000, 400);
    EXPECT_EQ(a.below(1), 0);
    EXPECT_EQ(a.below(0), 0);
    // The first values of the standard engine, reduced by the documented rule.
    SeededRandom fixed(1);
    std::mt19937 engine(1);
    EXPECT_EQ(static_cast<std::uint32_t>(fixed.below(1000)), static_cast<std::uint32_t>(engine()) % 1000);
}
