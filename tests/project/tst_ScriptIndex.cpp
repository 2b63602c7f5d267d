// SPDX-License-Identifier: MIT
#include "document/Loader.h"
#include "project/LoadCheck.h"
#include "project/ScriptIndex.h"

#include <gtest/gtest.h>

using namespace tonvale;
using namespace tonvale::project;

namespace {

const std::string SoundFolder = std::string(TONVALE_PROJECT_FIXTURES) + "/project/sound";

std::vector<std::string> describe(const std::vector<Problem>& problems) {
    std::vector<std::string> out;
    for (const Problem& problem : problems)
        out.push_back(std::to_string(problem.at.line) + ':' + std::to_string(problem.at.column) + ' ' +
                      std::string(checkInfo(problem.check).name) + ' ' + problem.message);
    return out;
}

} // namespace

TEST(ScriptIndex, ListsSoundscapesReferencesAndWavesWithTheirPlaces) {
    const ScriptIndex index =
        indexScript("a.txt",
                    "\"one\"\n{\n\t\"playlooping\" {\n\t\t\"wave\" \"ambient/wind.wav\"\n\t}\n"
                    "\t\"playsoundscape\"\n\t{\n\t\t\"name\"\t\"Two\"\n\t}\n}\n"
                    "two { playrandom { rndwave { wave \")ambient/gone.wav\" } } }\n",
                    nullptr);
    ASSERT_EQ(index.soundscapes.size(), 2u);
    EXPECT_EQ(index.soundscapes[0].name, "one");
    EXPECT_EQ(index.soundscapes[0].at, (SourcePosition{1, 1}));
    EXPECT_EQ(index.soundscapes[1].name, "two");
    EXPECT_EQ(index.soundscapes[1].at, (SourcePosition{11, 1}));
    ASSERT_EQ(index.references.size(), 1u);
    EXPECT_EQ(index.references[0].target, "Two");
    EXPECT_EQ(index.references[0].at, (SourcePosition{8, 10}));
    EXPECT_EQ(index.references[0].soundscape, "one");
    ASSERT_EQ(index.waves.size(), 2u);
    EXPECT_EQ(index.waves[0].value, "ambient/wind.wav");
    EXPECT_EQ(index.waves[0].block, ScriptBlock::PlayLooping);
    EXPECT_EQ(index.waves[1].value, ")ambient/gone.wav");
    EXPECT_EQ(index.waves[1].at, (SourcePosition{11, 35}));
    EXPECT_EQ(index.waves[1].block, ScriptBlock::RndWave);
    EXPECT_FALSE(index.waves[1].found.has_value()); // no sound folder: not looked up
    EXPECT_TRUE(index.problems.empty()) << ::testing::PrintToString(describe(index.problems));
}

TEST(ScriptIndex, LooksWavesUpThroughTheCoresResolver) {
    WaveLookup waves(SoundFolder);
    const ScriptIndex index = indexScript("a.txt",
                                          "\"s\" { \"playrandom\" { \"rndwave\" {\n"
                                          "\"wave\" \"*Ambient\\RAIN.wav\"\n"
                                          "\"wave\" \"ambient/rain2.wav\"\n"
                                          "\"wave\" \"\"\n}\n}\n}\n",
                                          &waves);
    ASSERT_EQ(index.waves.size(), 2u);
    EXPECT_EQ(index.waves[0].found, true); // hint, backslash and case: found as the player finds it
    EXPECT_EQ(index.waves[1].found, false);
    EXPECT_EQ(describe(index.problems),
              (std::vector<std::string>{
                  "3:8 missing-wave wave file \"ambient/rain2.wav\" is not found in the sound folder",
                  "4:8 missing-wave \"wave\" names no file"}));
    EXPECT_EQ(index.problems[0].soundscape, "s");
}

TEST(ScriptIndex, ChecksKeysOnlyWhereTheirBlockIsKnown) {
    const ScriptIndex index = indexScript("a.txt",
                                          "\"s\"\n{\n"
                                          "\t\"$myvar\" \"1\"\n"
                                          "\t\"Dsp\" \"1\"\n"
                                          "\t\"playsomething\" { \"oddkey\" \"1\" }\n"
                                          "\t\"playlooping\" { \"wave\" \"a.wav\" \"volume\" { } }\n"
                                          "\t\"playsoundscape\" \"x\"\n"
                                          "}\n"
                                          "soundscapes_manifest { \"file\" \"scripts/x.txt\" }\n",
                                          nullptr);
    EXPECT_EQ(describe(index.problems),
              (std::vector<std::string>{"5:2 unknown-key unknown key \"playsomething\" in soundscape",
                                        "6:33 unknown-key \"volume\" holds a block where a value belongs",
                                        "7:2 undefined-soundscape playsoundscape names no soundscape"}));
    ASSERT_EQ(index.soundscapes.size(), 1u); // the manifest's block defines no soundscape
}

TEST(ScriptIndex, BlocksThatPlayNothing) {
    const ScriptIndex index = indexScript("a.txt",
                                          "\"s\"\n{\n"
                                          "\"playlooping\" { \"volume\" \"1\" }\n"
                                          "\"playrandom\" { \"time\" \"1,2\" }\n"
                                          "\"playrandom\" { \"rndwave\" { \"a.wav\" \"b.wav\" } }\n"
                                          "\"playsoundscape\" { \"volume\" \"1\" }\n"
                                          "\"playsoundscape\" { \"name\" \"\" }\n"
                                          "}\n",
                                          nullptr);
    EXPECT_EQ(describe(index.problems),
              (std::vector<std::string>{"3:1 block-without-wave playlooping has no \"wave\"",
                                        "4:1 block-without-wave playrandom has no rndwave list",
                                        "5:16 block-without-wave rndwave has no \"wave\"",
                                        "5:28 unknown-key unknown key \"a.wav\" in rndwave",
                                        "6:1 undefined-soundscape playsoundscape names no soundscape",
                                        "7:27 undefined-soundscape playsoundscape names no soundscape"}));
}

TEST(LoadCheck, NamesTheLineWhereTheEditorsLoaderGivesUp) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected; // "line:column message", or empty when the script loads
    } cases[] = {
        {"loads", "\"a\"\n{\n\t\"b\" \"1\"\n}\n", ""},
        {"unclosed", "\"a\"\n{\n\"b\"\n{\n\"c\" \"1\"\n}\n",
         "1:1 the editor cannot load this script: the block of \"a\" is never closed"},
        {"closes nothing", "\"a\"\n{\n}\n}\n}\n{\n",
         "4:1 the editor cannot load this script: \"}\" closes no block"},
        {"no block", "// \"a\" { }\n\"k\" \"v\"\n",
         "1:1 the editor cannot load this script: it holds no block"},
        {"brace in quotes", "\"a\"\n{\n\"k\" \"{\"\n}\n",
         "3:1 the editor cannot load this script: a brace inside double quotes upsets its brace count"},
        {"level", "\"a\"\n{\n\"b\" \"1\"\n}\n\"c\"\n{\n{\n\"d\" \"1\"\n}\n}\n",
         "8:1 the editor cannot load this script: this line lies more than one level deeper than the one "
         "before, so the rest of the file is left out"},
        {"game sees an unopened brace", "}\n\"a\"\n{\n\"k\" \"v\"\n}\n{\n", "1:1 \"}\" closes no block"},
    };
    for (const Case& c : cases) {
        const std::optional<Problem> problem = loadProblem("f.txt", c.bytes, readOutline(c.bytes));
        const std::string got = problem ? std::to_string(problem->at.line) + ':' +
                                              std::to_string(problem->at.column) + ' ' + problem->message
                                        : std::string();
        EXPECT_EQ(got, c.expected) << c.name;
        // The editor's loader is the judge of whether a script loads in the editor.
        if (std::string_view(c.name) != "game sees an unopened brace") {
            const LoadResult loaded = loadScript(c.bytes);
            EXPECT_EQ(problem.has_value(), !loaded.ok() || loaded.levelError) << c.name;
        }
    }
}

TEST(LoadCheck, AFileThatCannotBeReadIsALoadFailure) {
    const ScriptIndex index =
        indexScriptFile(std::string(TONVALE_PROJECT_FIXTURES) + "/no-such-file.txt", nullptr);
    ASSERT_EQ(index.problems.size(), 1u);
    EXPECT_EQ(index.problems[0].check, Check::LoadFailure);
    EXPECT_EQ(index.problems[0].at, (SourcePosition{1, 1}));
    EXPECT_TRUE(index.problems[0].message.starts_with("cannot read the file: ")) << index.problems[0].message;
}
