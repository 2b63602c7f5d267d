// SPDX-License-Identifier: MIT
// tonvale-format --lint on the fixture project: the exact output and the exit status.
#include "FormatTool.h"
#include "Lint.h"
#include "project/Problem.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace tonvale;
namespace fs = std::filesystem;

namespace {

const fs::path Fixture = fs::path(TONVALE_PROJECT_FIXTURES) / "project";

// Runs from the fixture project's folder, so paths in the output are relative and stable.
class Lint : public ::testing::Test {
  protected:
    void SetUp() override { fs::current_path(Fixture); }
    void TearDown() override { fs::current_path(m_saved); }

    int run(std::vector<std::string> args) {
        m_out.str({});
        m_err.str({});
        args.insert(args.begin(), "--lint");
        return runFormatTool(args, m_out, m_err);
    }

    fs::path m_saved = fs::current_path();
    std::ostringstream m_out;
    std::ostringstream m_err;
};

const char* const FixtureProblems =
    R"(scripts/soundscapes_broken.txt:1:1: error: the editor cannot load this script: the block of "broken.cut" is never closed [load-failure]
scripts/soundscapes_clean.txt:2:1: warning: soundscape "clean.street" is also defined at scripts/soundscapes_problems.txt:16 [duplicate-soundscape]
scripts/soundscapes_cycle.txt:5:10: error: soundscape "cycle.a" plays itself: cycle.a -> cycle.b -> cycle.a [soundscape-cycle]
scripts/soundscapes_cycle.txt:12:10: error: soundscape "cycle.b" plays itself: cycle.b -> cycle.a -> cycle.b [soundscape-cycle]
scripts/soundscapes_cycle.txt:19:10: error: soundscape "cycle.self" plays itself: cycle.self -> cycle.self [soundscape-cycle]
scripts/soundscapes_level.txt:3:1: warning: a block without a key in soundscape [unknown-key]
scripts/soundscapes_level.txt:4:1: error: the editor cannot load this script: this line lies more than one level deeper than the one before, so the rest of the file is left out [load-failure]
scripts/soundscapes_manifest.txt:10:9: error: the manifest lists "scripts/soundscapes_gone.txt", which does not exist [missing-script]
scripts/soundscapes_problems.txt:6:10: error: wave file "ambient/nothere.wav" is not found in the sound folder [missing-wave]
scripts/soundscapes_problems.txt:13:10: error: playsoundscape names "nowhere.at_all", which no script of the project defines [undefined-soundscape]
scripts/soundscapes_problems.txt:16:1: warning: soundscape "CLEAN.street" is also defined at scripts/soundscapes_clean.txt:2 [duplicate-soundscape]
scripts/soundscapes_problems.txt:25:8: error: dsp "loud" is not a number [not-a-number]
scripts/soundscapes_problems.txt:28:10: warning: time "30,10": the first number is greater than the second [value-range]
scripts/soundscapes_problems.txt:29:12: warning: volume "1.5" is outside 0..1 [value-range]
scripts/soundscapes_problems.txt:30:11: warning: pitch "300" is outside 0..255 [value-range]
scripts/soundscapes_problems.txt:31:16: error: soundlevel "SNDLVL_LOUD" names no sound level [unknown-soundlevel]
scripts/soundscapes_problems.txt:40:2: error: playlooping has no "wave" [block-without-wave]
scripts/soundscapes_problems.txt:46:3: error: rndwave has no "wave" [block-without-wave]
scripts/soundscapes_problems.txt:56:3: warning: unknown key "volumme" in playlooping [unknown-key]
scripts/soundscapes_problems.txt:61:15: warning: this quoted text runs on to line 62, where its closing quote stands [unclosed-quote]
scripts/soundscapes_unlisted.txt:1:1: warning: the manifest beside this script does not list it [unlisted-script]
)";

} // namespace

TEST_F(Lint, PrintsEveryProblemLikeACompilerAndFailsOnAnError) {
    EXPECT_EQ(run({"scripts"}), LintErrors);
    EXPECT_EQ(m_out.str(), FixtureProblems);
    EXPECT_EQ(m_err.str(), "tonvale-format: 12 error(s), 9 warning(s) in 7 script(s)\n");
}

TEST_F(Lint, CleanScriptsPassWithTheSoundFolderNamed) {
    EXPECT_EQ(run({"--sound-dir", "sound", "scripts/soundscapes_clean.txt", "scripts/soundscapes_town.txt"}),
              LintClean);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(m_err.str(), "tonvale-format: 0 error(s), 0 warning(s) in 2 script(s)\n");
    // Without a sound folder, waves are not looked up, and the tool says so.
    EXPECT_EQ(run({"scripts/soundscapes_clean.txt", "scripts/soundscapes_town.txt"}), LintClean);
    EXPECT_EQ(m_err.str(),
              "tonvale-format: no sound folder: wave files were not looked up (see --sound-dir)\n"
              "tonvale-format: 0 error(s), 0 warning(s) in 2 script(s)\n");
}

TEST_F(Lint, WarningsAloneExitZero) {
    EXPECT_EQ(run({"--sound-dir=sound", "scripts/soundscapes_problems.txt",
                   "--disable=missing-wave,undefined-soundscape", "--disable",
                   "not-a-number,unknown-soundlevel,block-without-wave"}),
              LintClean);
    EXPECT_EQ(m_err.str(), "tonvale-format: 0 error(s), 5 warning(s) in 1 script(s)\n");
}

TEST_F(Lint, JsonForMachines) {
    EXPECT_EQ(
        run({"--format=json", "--sound-dir=sound", "scripts/soundscapes_problems.txt",
             "scripts/soundscapes_clean.txt",
             "--disable=value-range,unknown-key,unclosed-quote,missing-wave,not-a-number,unknown-soundlevel,"
             "block-without-wave,undefined-soundscape"}),
        LintClean);
    EXPECT_EQ(m_out.str(),
              R"({"problems":[
{"file":"scripts/soundscapes_clean.txt","line":2,"column":1,"severity":"warning","check":"duplicate-soundscape","message":"soundscape \"clean.street\" is also defined at scripts/soundscapes_problems.txt:16","soundscape":"clean.street","related":[{"file":"scripts/soundscapes_problems.txt","line":16,"column":1}]},
{"file":"scripts/soundscapes_problems.txt","line":16,"column":1,"severity":"warning","check":"duplicate-soundscape","message":"soundscape \"CLEAN.street\" is also defined at scripts/soundscapes_clean.txt:2","soundscape":"CLEAN.street","related":[{"file":"scripts/soundscapes_clean.txt","line":2,"column":1}]}
],"errors":0,"warnings":2,"scripts":2}
)");
    EXPECT_EQ(run({"--format=json", "scripts/soundscapes_town.txt", "--sound-dir=sound",
                   "--disable=undefined-soundscape"}),
              LintClean);
    EXPECT_EQ(m_out.str(), "{\"problems\":[\n],\"errors\":0,\"warnings\":0,\"scripts\":1}\n");
}

TEST_F(Lint, UsageErrorsExitTwo) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "tonvale-format: no script or folder to check\n"},
        {{"--disable=no-such-check", "scripts"}, "tonvale-format: unknown check \"no-such-check\"\n"},
        {{"--format=xml", "scripts"}, "tonvale-format: unknown format \"xml\" (json or text)\n"},
        {{"--format", "xml", "scripts"}, "tonvale-format: unknown format \"xml\" (json or text)\n"},
        {{"--lines", "scripts"}, "tonvale-format: unknown option \"--lines\"\n"},
        {{"--sound-dir"}, "tonvale-format: option \"--sound-dir\" needs a value\n"},
        {{"scripts", "no-such-folder"}, "tonvale-format: no-such-folder: no such file or folder\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), LintUsage) << c.message;
        EXPECT_TRUE(m_err.str().starts_with(c.message)) << m_err.str();
        EXPECT_EQ(m_out.str(), "");
    }
}

TEST_F(Lint, HelpListsEveryCheck) {
    EXPECT_EQ(run({"--help"}), LintClean);
    for (const auto& info : project::Checks)
        EXPECT_NE(m_out.str().find("  " + std::string(info.name) + " "), std::string::npos) << info.name;
}

TEST_F(Lint, APathAfterDoubleDashIsAPath) {
    EXPECT_EQ(
        run({"--sound-dir=sound", "--", "scripts/soundscapes_town.txt", "scripts/soundscapes_clean.txt"}),
        LintClean);
}
