// SPDX-License-Identifier: MIT
// Writes screenshots of the player panel (both groups; random group only; the whole soundscape
// playing; a soundscape of references only) and of the master volume window into the folder given as the
// first argument. Run under a real display or xvfb-run, with ALSOFT_DRIVERS=null: scripts/screenshot.sh
// player does both.
#include "AudioTestHelpers.h"
#include "audio/AudioEngine.h"
#include "audio/SoundscapeAnalysis.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/MasterVolumeWindow.h"
#include "audiopanel/PlayerPanel.h"
#include "audiopanel/PlayerTexts.h"
#include "document/Loader.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace {

class ShotHost : public tonvale::AudioHost {
  public:
    void showMessage(const tonvale::Message& m) override {
        std::fprintf(stderr, "message: %s\n", m.text.c_str());
    }
    int masterVolumeSetting() const override { return 20; }
    void setMasterVolumeSetting(int) override {}
    void documentChanged() override {}
    std::string renderFileName(const std::string&) override { return {}; }
};

const char* const Script = R"("town.square.day"
{
	"dsp"	"1"
	"playlooping"
	{
		"volume"	"0.7"
		"pitch"	"100"
		"wave"	"ambient/town/square_loop.wav"
	}
	"playrandom"
	{
		"time"	"2,8"
		"volume"	"0.4,0.8"
		"pitch"	"90,110"
		"rndwave"
		{
			"wave"	"ambient/town/bird1.wav"
			"wave"	"ambient/town/bird2.wav"
			"wave"	"ambient/town/cart.wav"
		}
	}
	"playsoundscape"
	{
		"name"	"town.fountain"
		"volume"	"0.6"
	}
}
"town.fountain"
{
	"playlooping"
	{
		"volume"	"0.5"
		"wave"	"ambient/town/fountain.wav"
	}
}
)";

bool shoot(const std::string& script, const std::string& soundDir, tonvale::AudioEngine& audio,
           const QString& file, bool whole = false) {
    ShotHost host;
    tonvale::LoadResult doc = tonvale::loadScript(script);
    tonvale::Node* selected = doc.tree.topLevel().front();
    const tonvale::SoundscapeValueNodes nodes =
        tonvale::analyseSoundscape(doc.tree, selected, soundDir, audio);
    tonvale::PlayerPanel panel(doc.tree, selected, nodes, audio, host);
    panel.setWindowTitle(tonvale::fromScript(selected->text()));
    panel.setSoundscapeSources(soundDir, {});
    panel.show();
    QTest::qWait(200);
    if (whole) {
        panel.setSeed(3);
        panel.findChild<QPushButton*>(QStringLiteral("playWholeButton"))->click();
        QTest::qWait(2300); // past the first random start
        const bool ok = panel.grab().save(file);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
        audio.releaseAll();
        return ok;
    }
    auto* playAll = panel.findChild<QPushButton*>(QStringLiteral("playAllButton"));
    if (playAll->isEnabled())
        playAll->click();
    else
        panel.findChild<QPushButton*>(QStringLiteral("playRandomButton"))->click();
    panel.playNextRandomWave();
    for (int i = 0; i < 3; ++i) {
        panel.animateLoopIndicator();
        panel.animateRandomIndicator();
    }
    QTest::qWait(200);
    const bool ok = panel.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    audio.releaseAll();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outDir);
    tonvale::testing::TempFolder sounds;
    std::filesystem::create_directories(sounds.file("ambient/town"));
    for (const char* name : {"ambient/town/square_loop.wav", "ambient/town/bird1.wav",
                             "ambient/town/bird2.wav", "ambient/town/cart.wav", "ambient/town/fountain.wav"})
        tonvale::testing::writeWave(sounds.file(name), {.frequency = 0, .seconds = 3});
    tonvale::AudioEngine audio;
    if (!audio.init())
        audio.initLoopback();

    bool ok = shoot(Script, sounds.path(), audio, outDir + QStringLiteral("/player-both-groups.png"));
    std::string randomOnly = Script;
    randomOnly.replace(randomOnly.find("square_loop.wav"), 15, "missing_loop.wav");
    ok = shoot(randomOnly, sounds.path(), audio, outDir + QStringLiteral("/player-random-only.png")) && ok;
    ok = shoot(Script, sounds.path(), audio, outDir + QStringLiteral("/player-whole.png"), true) && ok;
    // Only references: the panel keeps its main group, and the whole soundscape plays.
    const std::string referencesOnly = "\"town.gate\"\n{\n\t\"playsoundscape\"\n\t{\n\t\t\"name\"\t"
                                       "\"town.fountain\"\n\t}\n}\n" +
                                       std::string(Script);
    ok = shoot(referencesOnly, sounds.path(), audio, outDir + QStringLiteral("/player-references-only.png"),
               true) &&
         ok;

    ShotHost host;
    tonvale::MasterVolumeWindow volume(audio, host);
    volume.show();
    QTest::qWait(200);
    ok = volume.grab().save(outDir + QStringLiteral("/master-volume.png")) && ok;
    return ok ? 0 : 1;
}
