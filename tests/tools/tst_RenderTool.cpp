// SPDX-License-Identifier: MIT
#include "AudioTestHelpers.h"
#include "RenderTool.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// A project as the editor knows it: scripts/ and sound/ side by side.
class RenderTool : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(project.file("scripts"));
        std::filesystem::create_directories(project.file("sound/amb"));
        ASSERT_TRUE(
            writeWave(project.file("sound/amb/hum.wav"), {.frequency = 110, .seconds = 1, .amplitude = 0.3}));
        ASSERT_TRUE(writeWave(project.file("sound/amb/drip.wav"), {.frequency = 900, .seconds = 0.2}));
        writeBytes(script, R"("house.hall"
{
	"playlooping"
	{
		"wave"	"amb/hum.wav"
		"volume"	"0.5"
	}
	"playrandom"
	{
		"time"	"0.3,1.2"
		"volume"	"0.2,0.6"
		"pitch"	"90,110"
		"rndwave"
		{
			"wave"	"amb/drip.wav"
			"wave"	"amb/gone.wav"
		}
	}
	"playsoundscape"
	{
		"name"	"outside.rain"
		"volume"	"0.5"
	}
}
)");
        writeBytes(project.file("scripts/soundscapes_outside.txt"),
                   "\"outside.rain\"\n{\n\"playlooping\"\n{\n\"wave\" \"amb/drip.wav\"\n}\n}\n");
    }

    int run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return runRenderTool(args, out, err, context);
    }
    std::string render(const std::string& name, std::vector<std::string> options) {
        options.insert(options.end(), {script, "house.hall", project.file(name)});
        EXPECT_EQ(run(options), RenderWritten) << err.str();
        return readBytes(project.file(name));
    }

    TempFolder project;
    const std::string script = project.file("scripts/soundscapes_house.txt");
    RenderToolContext context;
    std::ostringstream out;
    std::ostringstream err;
};

} // namespace

TEST_F(RenderTool, WritesTheWholeSoundscapeAndReportsWhatIsMissing) {
    const std::string bytes = render("hall.wav", {"--seconds", "2", "--seed", "4", "--rate", "22050"});
    EXPECT_EQ(out.str(), ""); // a given seed is not printed
    // The wave that is missing is named, the rest plays, the nested soundscape from the other script too.
    EXPECT_NE(err.str().find("wave \"amb/gone.wav\" not found; left out"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("outside.rain\" not found"), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("Rendering"), std::string::npos); // no progress off a terminal

    SF_INFO info{};
    SNDFILE* file = sf_open(project.file("hall.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_EQ(info.frames, 44100);
    std::vector<float> samples(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    std::vector<float> left(samples.size() / 2);
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = samples[2 * i];
    EXPECT_NEAR(peak(left, 0, 1000), 0.3 * 0.5 + 0.8 * 0.5, 0.02); // the hum and the nested loop at once
    EXPECT_FALSE(bytes.empty());
}

TEST_F(RenderTool, TheSameSeedGivesTheSameBytesAndADrawnSeedIsPrinted) {
    const std::string a = render("a.wav", {"--seconds=3", "--seed=123"});
    const std::string b = render("b.wav", {"--seconds", "3", "--seed", "123"});
    EXPECT_EQ(a, b);
    EXPECT_NE(render("c.wav", {"--seconds", "3", "--seed", "124"}), a);

    const std::string drawn = render("d.wav", {"--seconds", "3"});
    const std::string printed = out.str();
    ASSERT_EQ(printed.rfind("seed: ", 0), 0u) << printed;
    ASSERT_EQ(printed.back(), '\n');
    const std::string seed = printed.substr(6, printed.size() - 7);
    EXPECT_EQ(render("e.wav", {"--seconds", "3", "--seed", seed}), drawn);
}

namespace {

struct ExitCase {
    const char* name;
    std::vector<std::string> args; // "{script}", "{dir}" are replaced
    int status;
    const char* message;
};

class RenderToolExit : public RenderTool, public ::testing::WithParamInterface<ExitCase> {};

} // namespace

TEST_P(RenderToolExit, StatusAndMessage) {
    writeBytes(project.file("scripts/broken.txt"), "\"x\"\n{\n\"playlooping\"\n{\n");
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        if (a == "{script}")
            a = script;
        else if (a.rfind("{dir}", 0) == 0)
            a = project.path() + a.substr(5);
    }
    const std::string before = readBytes(script);
    EXPECT_EQ(run(args), GetParam().status) << err.str();
    EXPECT_NE(err.str().find(GetParam().message), std::string::npos) << err.str();
    EXPECT_EQ(readBytes(script), before);
    EXPECT_EQ(std::filesystem::exists(project.file("out.wav")), GetParam().status == RenderWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, RenderToolExit,
    ::testing::Values(
        ExitCase{
            "Written", {"--seconds", "0.1", "--seed", "1", "{script}", "house.hall", "{dir}/out.wav"}, 0, ""},
        ExitCase{"NameIgnoresCaseAndQuotes",
                 {"--seconds", "0.1", "{script}", "\"HOUSE.Hall\"", "{dir}/out.wav"},
                 0,
                 ""},
        ExitCase{"NoScript",
                 {"{dir}/scripts/none.txt", "house.hall", "{dir}/out.wav"},
                 2,
                 "cannot read the script"},
        ExitCase{
            "ScriptIsAFolder", {"{dir}/scripts", "house.hall", "{dir}/out.wav"}, 2, "cannot read the script"},
        ExitCase{"BrokenScript", {"{dir}/scripts/broken.txt", "x", "{dir}/out.wav"}, 2, "фигурных скобок"},
        ExitCase{
            "NoSoundscape", {"{script}", "house.attic", "{dir}/out.wav"}, 2, "no soundscape \"house.attic\""},
        ExitCase{
            "NoOutputFolder", {"{script}", "house.hall", "{dir}/none/out.wav"}, 3, "cannot write the file"},
        ExitCase{"OutputIsAFolder", {"{script}", "house.hall", "{dir}/scripts"}, 3, "cannot write the file"},
        ExitCase{"OutputIsTheScript", {"{script}", "house.hall", "{script}"}, 1, "is the script itself"},
        ExitCase{"TooFewArguments", {"{script}", "house.hall"}, 1, "are needed"},
        ExitCase{
            "BadSeconds", {"--seconds", "half", "{script}", "house.hall", "{dir}/out.wav"}, 1, "--seconds"},
        ExitCase{
            "ZeroSeconds", {"--seconds", "0", "{script}", "house.hall", "{dir}/out.wav"}, 1, "--seconds"},
        ExitCase{"NegativeSeed", {"--seed", "-1", "{script}", "house.hall", "{dir}/out.wav"}, 1, "--seed"},
        ExitCase{
            "SeedTooLarge", {"--seed", "4294967296", "{script}", "house.hall", "{dir}/out.wav"}, 1, "--seed"},
        ExitCase{"RateTooLow", {"--rate", "100", "{script}", "house.hall", "{dir}/out.wav"}, 1, "--rate"},
        ExitCase{
            "MissingValue", {"{script}", "house.hall", "{dir}/out.wav", "--seed"}, 1, "--seed needs a value"},
        ExitCase{"UnknownOption",
                 {"--loud", "{script}", "house.hall", "{dir}/out.wav"},
                 1,
                 "unknown option --loud"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(RenderTool, HelpAndVersion) {
    EXPECT_EQ(run({"--help"}), RenderWritten);
    EXPECT_NE(out.str().find("Usage: tonvale-render"), std::string::npos);
    EXPECT_EQ(run({"--version"}), RenderWritten);
    EXPECT_EQ(out.str(), std::string("tonvale-render ") + TONVALE_VERSION + "\n");
    EXPECT_EQ(run({}), RenderUsage);
    EXPECT_NE(err.str().find("Usage:"), std::string::npos);
}

TEST_F(RenderTool, ShowsProgressOnATerminal) {
    context.progressOnTerminal = true;
    render("p.wav", {"--seconds", "1", "--seed", "1"});
    const std::string e = err.str();
    EXPECT_NE(e.find("\rRendering: 0%"), std::string::npos) << e;
    EXPECT_NE(e.find("\rRendering: 100%\n"), std::string::npos) << e;
}

TEST_F(RenderTool, TheSoundFolderComesFromTheProjectElseFromTheSettings) {
    EXPECT_EQ(defaultSoundFolder(script, {}), project.file("sound"));

    // A script outside any project: the settings' sound folder when it exists.
    TempFolder loose;
    const std::string elsewhere = loose.file("single.txt");
    writeBytes(elsewhere, readBytes(script));
    writeBytes(loose.file("tnv.ini"), "[options]\r\nSOUNDDIR=" + project.file("sound") + "\r\n");
    writeBytes(loose.file("other.ini"), "[Options]\r\nSounddir=" + loose.file("nowhere") + "\r\n");
    EXPECT_EQ(defaultSoundFolder(elsewhere,
                                 {loose.file("none.ini"), loose.file("other.ini"), loose.file("tnv.ini")}),
              project.file("sound"));
    EXPECT_EQ(defaultSoundFolder(elsewhere, {loose.file("other.ini")}), loose.path());

    context.settingsFiles = {loose.file("tnv.ini")};
    EXPECT_EQ(run({"--seconds", "0.2", elsewhere, "house.hall", loose.file("out.wav")}), RenderWritten);
    // Only the one wave that exists nowhere is missing (the other script is not beside this one).
    EXPECT_NE(err.str().find("amb/gone.wav"), std::string::npos);
    EXPECT_EQ(err.str().find("amb/hum.wav"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("\"outside.rain\" not found"), std::string::npos) << err.str();
}
