// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "SeparatorGuard.h"
#include "audio/SoundscapeAnalysis.h"
#include "document/Loader.h"

#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// A sound folder with a few generated waves, a loopback audio layer, and scripts to analyse.
class SoundscapeAnalysisTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(audio.initLoopback());
        std::filesystem::create_directories(sounds.file("amb"));
        for (const char* name : {"loop.wav", "loop2.wav", "amb/a.wav", "amb/b.wav", "amb/c.wav", "amb/d.wav"})
            ASSERT_TRUE(writeWave(sounds.file(name), {.seconds = 0.1}));
        ASSERT_TRUE(writeWave(sounds.file("amb/slow.wav"), {.seconds = 0.1, .sampleRate = 22050}));
        writeBytes(sounds.file("amb/broken.wav"), "not a wave");
    }

    // Loads the script and analyses its top-level node number `index`.
    void analyse(const std::string& script, std::size_t index = 0) {
        loaded = loadScript(script);
        ASSERT_TRUE(loaded.ok()) << script;
        ASSERT_LT(index, loaded.tree.topLevel().size());
        analyseSoundscape(loaded.tree, loaded.tree.topLevel()[index], sounds.path(), audio);
    }

    TempFolder sounds;
    AudioEngine audio;
    LoadResult loaded;
};

const std::string Full = R"("first"
{
	"dsp"	"1"
	"playlooping"
	{
		"volume"	"0.5"
		"wave"	"loop.wav"
		"pitch"	"90"
		"attenuation"	"0"
	}
	"playrandom"
	{
		"time"	"1,6"
		"volume"	"0.5,1.0"
		"pitch"	"90,110"
		"rndwave"
		{
			"wave"	"amb/a.wav"
			"wave"	"amb\broken.wav"
			"wave"	"amb/slow.wav"
		}
	}
}
"second"
{
	"playrandom"
	{
		"rndwave"
		{
			"wave"	"amb/d.wav"
		}
	}
}
)";

} // namespace

TEST_F(SoundscapeAnalysisTest, GathersLoopRangesAndWavesOfTheSelectedSoundscapeOnly) {
    analyse(Full);
    EXPECT_EQ(audio.loopingSound.path, sounds.file("loop.wav"));
    EXPECT_FLOAT_EQ(audio.loopingSound.volume, 0.5f);
    EXPECT_EQ(audio.loopingSound.pitch, 90);
    EXPECT_EQ(audio.loopingSound.channel, 0u); // opened by the panel, not here
    EXPECT_EQ(audio.randomRanges.timeStart, 2991);
    EXPECT_EQ(audio.randomRanges.timeEnd, 2941);
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeStart, 0.5f);
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeEnd, 1.0f);
    EXPECT_EQ(audio.randomRanges.pitchStart, 90);
    EXPECT_EQ(audio.randomRanges.pitchEnd, 110);
    EXPECT_EQ(audio.randomWaves.names, (std::vector<std::string>{"a.wav", "slow.wav"}));
    EXPECT_EQ(audio.randomWaves.sampleRates, (std::vector<std::uint32_t>{44100, 22050}));

    analyse(Full, 1);
    EXPECT_EQ(audio.loopingSound.path, "");
    EXPECT_EQ(audio.randomWaves.names, (std::vector<std::string>{"d.wav"}));
    EXPECT_EQ(audio.randomRanges.timeStart, 0); // no "time": the reset values stay
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeEnd, 0.0f);
}

TEST_F(SoundscapeAnalysisTest, CommaLocaleReadsTheSameValues) {
    SeparatorGuard comma(',');
    analyse(Full);
    EXPECT_FLOAT_EQ(audio.loopingSound.volume, 0.5f);
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeStart, 0.5f);
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeEnd, 1.0f);
}

TEST_F(SoundscapeAnalysisTest, ShapesOfSoundscapes) {
    struct Case {
        const char* name;
        std::string script;
        std::string loopFile; // relative, "" for none
        std::vector<std::string> waves;
    };
    const Case cases[] = {
        {"no blocks", "\"s\"\n{\n\t\"dsp\"\t\"1\"\n}\n", "", {}},
        {"empty soundscape", "\"s\"\n{\n}\n", "", {}},
        {"loop only",
         "\"s\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n}\n",
         "loop.wav",
         {}},
        {"random only, no end line break",
         "\"s\"\n{\n\t\"playrandom\"\n\t{\n\t\t\"rndwave\"\n\t\t{\n\t\t\t\"wave\"\t\"amb/"
         "a.wav\"\n\t\t}\n\t}\n}",
         "",
         {"a.wav"}},
        {"later loop overrides",
         "\"s\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n\t\"PlayLooping\"\n\t{"
         "\n\t\t\"wave\"\t\"loop2.wav\"\n\t}\n}\n",
         "loop2.wav",
         {}},
        {"two rndwave blocks",
         "\"s\"\n{\n\t\"playrandom\"\n\t{\n\t\t\"rndwave\"\n\t\t{\n\t\t\t\"wave\"\t\"amb/"
         "a.wav\"\n\t\t\t\"wave\"\t\"amb/b.wav\"\n\t\t}\n\t}\n"
         "\t\"playrandom\"\n\t{\n\t\t\"rndwave\"\n\t\t{\n\t\t\t\"wave\"\t\"amb/"
         "c.wav\"\n\t\t\t\"wave\"\t\"amb/d.wav\"\n\t\t}\n\t}\n}\n",
         "",
         {"a.wav", "b.wav", "c.wav", "d.wav"}},
        {"capital Wave is not a wave",
         "\"s\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"Wave\"\t\"loop.wav\"\n\t}\n}\n",
         "",
         {}},
        {"playsoundscape is passed over",
         "\"s\"\n{\n\t\"playsoundscape\"\n\t{\n\t\t\"name\"\t\"other\"\n\t\t\"volume\"\t\"1\"\n\t}\n"
         "\t\"playlooping\"\n\t{\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n}\n",
         "loop.wav",
         {}},
        {"unknown block ends the walk",
         "\"s\"\n{\n\t\"dsp_volume\"\n\t{\n\t\t\"x\"\t\"1\"\n\t}\n\t\"playlooping\"\n\t{"
         "\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n}\n",
         "",
         {}},
        {"missing and broken waves only",
         "\"s\"\n{\n\t\"playrandom\"\n\t{\n\t\t\"rndwave\"\n\t\t{\n\t\t\t\"wave\"\t\"amb/"
         "none.wav\"\n\t\t\t\"wave\"\t\"amb/broken.wav\"\n\t\t\t\"wave\"\t\"../../etc/"
         "passwd\"\n\t\t}\n\t}\n}\n",
         "",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        analyse(c.script);
        EXPECT_EQ(audio.loopingSound.path, c.loopFile.empty() ? "" : sounds.file(c.loopFile));
        EXPECT_EQ(audio.randomWaves.names, c.waves);
        EXPECT_EQ(audio.randomWaves.channels.size(), c.waves.size());
        // Every channel of an earlier analysis is gone: only this list's channels (and their decode
        // streams) are alive.
        EXPECT_EQ(audio.liveChannelCount(), 2 * c.waves.size());
    }
}

TEST_F(SoundscapeAnalysisTest, MissingAndOddValuesTakeDefaults) {
    analyse("\"s\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"volume\"\t\"abc\"\n\t\t\"pitch\"\t\"100.5\"\n\t}\n"
            "\t\"playrandom\"\n\t{\n\t\t\"volume\"\t\".5\"\n\t\t\"time\"\t\"400\"\n\t\t\"pitch\"\t\"\"\n"
            "\t\t\"rndwave\"\n\t\t{\n\t\t\t\"wave\"\t\"none.wav\"\n\t\t}\n\t\t\"pitch\"\t\"50\"\n\t}\n}\n");
    EXPECT_FLOAT_EQ(audio.loopingSound.volume, 0.5f);
    EXPECT_EQ(audio.loopingSound.pitch, 100);
    EXPECT_FLOAT_EQ(audio.randomRanges.volumeStart, 0.5f);
    EXPECT_EQ(audio.randomRanges.timeStart, -999); // the panel's bar clamps it to 300 s
    // The "pitch" after the rndwave block is not read; the empty one changes nothing.
    EXPECT_EQ(audio.randomRanges.pitchStart, 100);
    EXPECT_TRUE(audio.randomWaves.channels.empty());
}

TEST_F(SoundscapeAnalysisTest, OnlyTopLevelSelectionsAreAnalysed) {
    analyse(Full);
    ASSERT_FALSE(audio.randomWaves.channels.empty());
    const Node* block = loaded.tree.topLevel()[0]->child(1);
    analyseSoundscape(loaded.tree, block, sounds.path(), audio); // not a soundscape: nothing happens
    EXPECT_FALSE(audio.randomWaves.channels.empty());
    analyseSoundscape(loaded.tree, nullptr, sounds.path(), audio);
    EXPECT_FALSE(audio.randomWaves.channels.empty());
    SectionTree empty;
    analyseSoundscape(empty, nullptr, sounds.path(), audio);
    // The end marker is a top-level node with nothing after it.
    analyseSoundscape(loaded.tree, loaded.tree.last(), sounds.path(), audio);
    EXPECT_TRUE(audio.randomWaves.channels.empty());
}

TEST_F(SoundscapeAnalysisTest, MissingSoundFolderFindsNothing) {
    loaded = loadScript(Full);
    analyseSoundscape(loaded.tree, loaded.tree.topLevel()[0], sounds.file("no-such-folder"), audio);
    EXPECT_TRUE(audio.randomWaves.channels.empty());
    audio.loopingSound.path = audio.loopingSound.path;
    EXPECT_FALSE(audio.openLoop());
}

#ifdef TONVALE_REALWORLD
TEST_F(SoundscapeAnalysisTest, RealWorldScriptsAnalyseWithoutFault) {
    const std::filesystem::path dir(TONVALE_REALWORLD);
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no real-world scripts";
    std::size_t soundscapes = 0;
    std::size_t withLoop = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".txt")
            continue;
        LoadResult r = loadScriptFile(entry.path().string());
        if (!r.ok())
            continue;
        for (const Node* top : r.tree.topLevel()) {
            analyseSoundscape(r.tree, top, sounds.path(), audio);
            if (!audio.loopingSound.path.empty())
                ++withLoop;
            EXPECT_TRUE(audio.randomWaves.channels.empty()); // none of their waves exist here
            ++soundscapes;
        }
    }
    EXPECT_GT(soundscapes, 20u);
    EXPECT_GT(withLoop, 10u);
}
#endif
