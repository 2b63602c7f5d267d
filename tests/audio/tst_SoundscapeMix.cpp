// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "audio/SoundscapeMix.h"
#include "document/Loader.h"
#include "document/SoundPaths.h"

#include <gtest/gtest.h>
#include <list>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// A sound folder with a few tiny waves (gathering only asks whether they exist).
class SoundscapeMixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(sounds.file("amb"));
        for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "amb/r1.wav", "amb/r2.wav"})
            ASSERT_TRUE(writeWave(sounds.file(name), {.seconds = 0.01}));
    }

    SoundscapeMix gather(const std::string& script, const std::string& name,
                         const SoundscapeLookup& lookup = {}) {
        loaded = loadScript(script);
        EXPECT_TRUE(loaded.ok()) << script;
        const Node* top = findSoundscape(loaded.tree, name);
        EXPECT_NE(top, nullptr) << name;
        return gatherSoundscape(loaded.tree, top, sounds.path(), lookup);
    }

    static std::vector<std::string> loopWaves(const SoundscapeMix& mix) {
        std::vector<std::string> out;
        for (const MixLoop& l : mix.loops)
            out.push_back(l.wave.value);
        return out;
    }
    static std::vector<MixProblemKind> kinds(const SoundscapeMix& mix) {
        std::vector<MixProblemKind> out;
        for (const MixProblem& p : mix.problems)
            out.push_back(p.kind);
        return out;
    }

    TempFolder sounds;
    LoadResult loaded;
};

const std::string Nested = R"("top"
{
	"dsp"	"1"
	"playlooping"
	{
		"volume"	"0.8"
		"wave"	"a.wav"
		"pitch"	"90"
		"position"	"0"
	}
	"playlooping"
	{
		"wave"	"b.wav"
	}
	"playrandom"
	{
		"time"	"1,2.5"
		"volume"	"0.2,0.4"
		"pitch"	"90,110"
		"rndwave"
		{
			"wave"	"amb/r1.wav"
			"wave"	"amb\r2.wav"
		}
	}
	"playsoundscape"
	{
		"name"	"middle"
		"volume"	"0.5"
	}
}
"middle"
{
	"playlooping"
	{
		"volume"	"0.6"
		"wave"	"c.wav"
	}
	"playrandom"
	{
		"volume"	"1"
		"rndwave"
		{
			"wave"	"amb/r1.wav"
		}
	}
	"playsoundscape"
	{
		"name"	"BOTTOM"
		"volume"	"0.5"
	}
}
"bottom"
{
	"playlooping"
	{
		"wave"	"d.wav"
		"volume"	"1"
	}
}
)";

} // namespace

TEST_F(SoundscapeMixTest, GathersEveryBlockAndScalesNestedSoundscapesByTheirReferenceVolume) {
    const SoundscapeMix mix = gather(Nested, "top");
    EXPECT_TRUE(mix.problems.empty());
    EXPECT_EQ(mix.name, "top");
    EXPECT_EQ(mix.soundscapes, (std::vector<std::string>{"top", "middle", "bottom"}));
    ASSERT_EQ(loopWaves(mix), (std::vector<std::string>{"a.wav", "b.wav", "c.wav", "d.wav"}));
    EXPECT_FLOAT_EQ(mix.loops[0].volume, 0.8f);
    EXPECT_EQ(mix.loops[0].pitch, 90);
    EXPECT_FLOAT_EQ(mix.loops[1].volume, 1.0f); // no volume: full
    EXPECT_EQ(mix.loops[1].pitch, 100);
    EXPECT_FLOAT_EQ(mix.loops[2].volume, 0.3f);  // 0.6 x 0.5
    EXPECT_FLOAT_EQ(mix.loops[3].volume, 0.25f); // 1 x 0.5 x 0.5
    EXPECT_EQ(mix.loops[2].soundscape, "middle");
    EXPECT_EQ(mix.loops[0].wave.path, sounds.file("a.wav"));

    ASSERT_EQ(mix.randoms.size(), 2u);
    const MixRandomBlock& r = mix.randoms[0];
    ASSERT_EQ(r.waves.size(), 2u);
    EXPECT_EQ(r.waves[1].value, "amb\\r2.wav");
    EXPECT_EQ(r.waves[1].path, sounds.file("amb/r2.wav"));
    EXPECT_EQ(r.delayMinMs, 1000u);
    EXPECT_EQ(r.delayMaxMs, 2500u);
    EXPECT_FLOAT_EQ(r.volumeMin, 0.2f);
    EXPECT_FLOAT_EQ(r.volumeMax, 0.4f);
    EXPECT_EQ(r.pitchMin, 90);
    EXPECT_EQ(r.pitchMax, 110);
    // The nested block: scaled volume, the defaults for what it does not say.
    EXPECT_FLOAT_EQ(mix.randoms[1].volumeMin, 0.5f);
    EXPECT_EQ(mix.randoms[1].delayMinMs, 10000u);
    EXPECT_EQ(mix.randoms[1].pitchMax, 100);
    EXPECT_EQ(mix.randoms[1].soundscape, "middle");
}

namespace {

struct ValueCase {
    const char* name;
    const char* block; // the parameters of one playrandom block (its rndwave is added)
    std::uint32_t delayMin, delayMax;
    float volumeMin, volumeMax;
    int pitchMin, pitchMax;
};

class RandomValues : public SoundscapeMixTest, public ::testing::WithParamInterface<ValueCase> {};

} // namespace

TEST_P(RandomValues, AreReadPutInOrderAndKeptInRange) {
    const ValueCase& c = GetParam();
    const std::string script = std::string("\"s\"\n{\n\"playrandom\"\n{\n") + c.block +
                               "\"rndwave\"\n{\n\"wave\" \"a.wav\"\n}\n}\n}\n";
    const SoundscapeMix mix = gather(script, "s");
    ASSERT_EQ(mix.randoms.size(), 1u);
    const MixRandomBlock& r = mix.randoms[0];
    EXPECT_EQ(r.delayMinMs, c.delayMin);
    EXPECT_EQ(r.delayMaxMs, c.delayMax);
    EXPECT_FLOAT_EQ(r.volumeMin, c.volumeMin);
    EXPECT_FLOAT_EQ(r.volumeMax, c.volumeMax);
    EXPECT_EQ(r.pitchMin, c.pitchMin);
    EXPECT_EQ(r.pitchMax, c.pitchMax);
}

INSTANTIATE_TEST_SUITE_P(
    Gathering, RandomValues,
    ::testing::Values(
        ValueCase{"Reversed", "\"time\" \"6,1\"\n\"volume\" \"0.9, 0.5\"\n\"pitch\" \"110,90\"\n", 1000, 6000,
                  0.5f, 0.9f, 90, 110},
        ValueCase{"LeadingPoint", "\"volume\" \".5\"\n\"time\" \" 0.25 \"\n", 250, 250, 0.5f, 0.5f, 100, 100},
        ValueCase{"Unreadable", "\"volume\" \"loud\"\n\"time\" \"x,3\"\n\"pitch\" \"high\"\n", 3000, 10000,
                  0.5f, 0.5f, 100, 100},
        ValueCase{"OutOfRange", "\"volume\" \"-1,3\"\n\"time\" \"0\"\n\"pitch\" \"0,1000\"\n", 100, 100, 0.0f,
                  1.0f, 1, 400},
        ValueCase{"DecimalPitchRounds", "\"pitch\" \"99.6,100.4\"\n", 10000, 10000, 1.0f, 1.0f, 100, 100},
        ValueCase{"KeysIgnoreCase", "\"TIME\" \"2\"\n\"Volume\" \"0.3\"\n", 2000, 2000, 0.3f, 0.3f, 100, 100},
        ValueCase{"HugeTimeIsCapped", "\"time\" \"1e30\"\n", 86400000, 86400000, 1.0f, 1.0f, 100, 100}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SoundscapeMixTest, MissingWavesAreReportedAndLeftOutWithBlocksLeftEmpty) {
    const SoundscapeMix mix = gather(R"("s"
{
	"playlooping"
	{
		"wave"	"gone.wav"
	}
	"PlayLooping"
	{
		"WAVE"	")a.wav"
	}
	"playrandom"
	{
		"rndwave"
		{
			"wave"	"amb/gone1.wav"
			"wave"	"amb/r1.wav"
		}
	}
	"playrandom"
	{
		"rndwave"
		{
			"wave"	"amb/gone2.wav"
			"wave"	""
		}
	}
}
)",
                                     "s");
    EXPECT_EQ(loopWaves(mix), (std::vector<std::string>{")a.wav"}));
    ASSERT_EQ(mix.randoms.size(), 1u);
    ASSERT_EQ(mix.randoms[0].waves.size(), 1u);
    EXPECT_EQ(mix.randoms[0].waves[0].value, "amb/r1.wav");
    ASSERT_EQ(mix.problems.size(), 3u);
    EXPECT_EQ(kinds(mix), std::vector<MixProblemKind>(3, MixProblemKind::MissingWave));
    EXPECT_EQ(mix.problems[0].subject, "gone.wav");
    EXPECT_EQ(mix.problems[2].subject, "amb/gone2.wav");
    EXPECT_EQ(describeProblem(mix.problems[0]), "soundscape \"s\": wave \"gone.wav\" not found; left out");
}

TEST_F(SoundscapeMixTest, ReferencesAreFoundInOtherScriptsThroughTheLookup) {
    LoadResult other = loadScript("\"elsewhere.Wind\"\n{\n\"playlooping\"\n{\n\"wave\" \"d.wav\"\n}\n}\n");
    std::vector<std::string> asked;
    const SoundscapeLookup lookup = [&](std::string_view name) {
        asked.emplace_back(name);
        return SoundscapeRef{&other.tree, findSoundscape(other.tree, name)};
    };
    const SoundscapeMix mix = gather(R"("s"
{
	"playsoundscape"
	{
		"name"	"Elsewhere.wind"
		"volume"	"0.5"
	}
	"playsoundscape"
	{
		"name"	"nowhere"
	}
	"playsoundscape"
	{
		"volume"	"1"
	}
}
)",
                                     "s", lookup);
    EXPECT_EQ(asked, (std::vector<std::string>{"Elsewhere.wind", "nowhere"}));
    ASSERT_EQ(loopWaves(mix), (std::vector<std::string>{"d.wav"}));
    EXPECT_FLOAT_EQ(mix.loops[0].volume, 0.5f);
    EXPECT_EQ(mix.loops[0].soundscape, "elsewhere.Wind");
    EXPECT_EQ(kinds(mix),
              (std::vector<MixProblemKind>{MixProblemKind::SoundscapeNotFound, MixProblemKind::MissingName}));
    EXPECT_EQ(mix.problems[0].subject, "nowhere");
}

TEST_F(SoundscapeMixTest, ACycleOfReferencesPlaysEachSoundscapeOnceAndIsReported) {
    const SoundscapeMix mix = gather(R"("a"
{
	"playlooping"
	{
		"wave"	"a.wav"
	}
	"playsoundscape"
	{
		"name"	"b"
	}
	"playsoundscape"
	{
		"name"	"a"
	}
}
"b"
{
	"playlooping"
	{
		"wave"	"b.wav"
	}
	"playsoundscape"
	{
		"name"	"a"
	}
}
)",
                                     "a");
    EXPECT_EQ(loopWaves(mix), (std::vector<std::string>{"a.wav", "b.wav"}));
    EXPECT_EQ(kinds(mix), (std::vector<MixProblemKind>{MixProblemKind::Cycle, MixProblemKind::Cycle}));
    EXPECT_EQ(mix.problems[0].subject, "a -> b -> a");
    EXPECT_EQ(mix.problems[0].soundscape, "b");
    EXPECT_EQ(mix.problems[1].subject, "a -> a");
}

TEST_F(SoundscapeMixTest, ASoundscapeReferencedTwiceWithoutACyclePlaysTwice) {
    const SoundscapeMix mix = gather(R"("a"
{
	"playsoundscape"
	{
		"name"	"leaf"
		"volume"	"0.5"
	}
	"playsoundscape"
	{
		"name"	"leaf"
		"volume"	"0.25"
	}
}
"leaf"
{
	"playlooping"
	{
		"wave"	"c.wav"
	}
}
)",
                                     "a");
    ASSERT_EQ(mix.loops.size(), 2u);
    EXPECT_FLOAT_EQ(mix.loops[0].volume, 0.5f);
    EXPECT_FLOAT_EQ(mix.loops[1].volume, 0.25f);
    EXPECT_TRUE(mix.problems.empty());
}

TEST_F(SoundscapeMixTest, RunawayReferencesStopAtTheLimits) {
    // A chain deeper than the limit.
    std::string chain;
    for (int i = 0; i < MaxReferenceDepth + 5; ++i)
        chain += "\"s" + std::to_string(i) + "\"\n{\n\"playlooping\"\n{\n\"wave\" \"a.wav\"\n}\n" +
                 "\"playsoundscape\"\n{\n\"name\" \"s" + std::to_string(i + 1) + "\"\n}\n}\n";
    SoundscapeMix mix = gather(chain, "s0");
    EXPECT_EQ(mix.loops.size(), static_cast<std::size_t>(MaxReferenceDepth));
    EXPECT_EQ(kinds(mix), (std::vector<MixProblemKind>{MixProblemKind::TooDeep}));

    // Every soundscape references the next one twice: 2^30 expansions unless something stops them.
    std::string fan;
    for (int i = 0; i < 30; ++i) {
        const std::string next = "\"name\" \"f" + std::to_string(i + 1) + "\"\n";
        fan += "\"f" + std::to_string(i) + "\"\n{\n\"playsoundscape\"\n{\n" + next +
               "}\n\"playsoundscape\"\n{\n" + next + "}\n}\n";
    }
    fan += "\"f30\"\n{\n\"playlooping\"\n{\n\"wave\" \"a.wav\"\n}\n}\n";
    mix = gather(fan, "f0");
    EXPECT_LE(mix.soundscapes.size(), MaxSoundscapes);
    EXPECT_LE(mix.loops.size(), MaxLoops);
    ASSERT_FALSE(mix.problems.empty());
    EXPECT_EQ(mix.problems.back().kind, MixProblemKind::TooManySounds);
}

TEST(SoundscapeNames, AreFoundWithoutRegardToCaseOrQuotes) {
    LoadResult doc = loadScript("\"One.Two\"\n{\n\"dsp\" \"1\"\n}\n\"one.two\"\n{\n\"dsp\" \"2\"\n}\n");
    ASSERT_TRUE(doc.ok());
    const Node* found = findSoundscape(doc.tree, "\"ONE.two\"");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, doc.tree.topLevel()[0]);
    EXPECT_EQ(soundscapeName(found), "One.Two");
    EXPECT_EQ(findSoundscape(doc.tree, "one"), nullptr);
}

#ifdef TONVALE_REALWORLD
// Every soundscape of the real-world scripts, with a placeholder file for every wave they name and
// references looked up across all of them.
TEST(SoundscapeMixRealWorld, EverySoundscapeGathersWithItsReferences) {
    const std::filesystem::path dir(TONVALE_REALWORLD);
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "no real-world scripts";
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::list<LoadResult> docs;
    for (const auto& file : files)
        docs.push_back(loadScriptFile(file.string()));

    TempFolder sounds;
    for (const LoadResult& doc : docs)
        for (const Node* node : doc.tree.preorder())
            if (node->data() && node->text() == "\"wave\"") {
                const std::string path = wavePath(sounds.path(), node->data()->value);
                if (path.back() == '/')
                    continue;
                std::filesystem::create_directories(std::filesystem::path(path).parent_path());
                writeBytes(path, "");
            }
    const SoundscapeLookup everywhere = [&](std::string_view name) {
        for (const LoadResult& doc : docs)
            if (const Node* node = findSoundscape(doc.tree, name))
                return SoundscapeRef{&doc.tree, node};
        return SoundscapeRef{};
    };
    std::size_t soundscapes = 0, loops = 0, randoms = 0, nested = 0, notFound = 0, mostRandoms = 0;
    for (const LoadResult& doc : docs)
        for (const Node* top : doc.tree.topLevel()) {
            if (!top->hasChildren())
                continue;
            const SoundscapeMix mix = gatherSoundscape(doc.tree, top, sounds.path(), everywhere);
            ++soundscapes;
            loops += mix.loops.size();
            randoms += mix.randoms.size();
            mostRandoms = std::max(mostRandoms, mix.randoms.size());
            nested += mix.soundscapes.size() - 1;
            for (const MixProblem& p : mix.problems) {
                EXPECT_NE(p.kind, MixProblemKind::MissingWave) << p.subject;
                notFound += p.kind == MixProblemKind::SoundscapeNotFound;
            }
            for (const MixRandomBlock& r : mix.randoms) {
                EXPECT_LE(r.delayMinMs, r.delayMaxMs);
                EXPECT_GE(r.delayMinMs, 100u);
            }
        }
    std::printf(
        "%zu soundscapes: %zu loops, %zu random blocks (at most %zu in one), %zu nested, %zu references "
        "not found\n",
        soundscapes, loops, randoms, mostRandoms, nested, notFound);
    EXPECT_GT(soundscapes, 20u);
    EXPECT_GT(loops, soundscapes / 2);
    EXPECT_GT(nested, 0u);
}
#endif
