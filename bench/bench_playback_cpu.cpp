// SPDX-License-Identifier: MIT
#include "CpuTime.h"
// CPU use while the player panel plays a soundscape with a loop and 20 random waves (Play All),
// or with --whole the whole benchmark soundscape ("Play Soundscape": two loops, three random blocks
// of 20 waves, a nested soundscape, the status bar following), on the default device. Run with
// ALSOFT_DRIVERS=null to need no sound card (set here when unset). Prints the process's CPU time
// over the wall time, in percent of one core. Target for --whole: under 5 %.
//   bench_playback_cpu [--whole] [seconds]   (default 30; Google Benchmark options are ignored)
#include "AudioTestHelpers.h"
#include "SoundscapeBenchScript.h"
#include "audio/AudioEngine.h"
#include "audio/SoundscapeAnalysis.h"
#include "audio/SoundscapePlayer.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerPanel.h"
#include "document/Loader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

class BenchHost : public tonvale::AudioHost {
  public:
    void showMessage(const tonvale::Message& m) override {
        std::fprintf(stderr, "message: %s\n", m.text.c_str());
    }
    int masterVolumeSetting() const override { return 0; }
    void setMasterVolumeSetting(int) override {}
    void documentChanged() override {}
    std::string renderFileName(const std::string&) override { return {}; }
};

} // namespace

int main(int argc, char** argv) {
    int seconds = 30;
    bool whole = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-')
            seconds = std::max(1, std::atoi(argv[i]));
        whole = whole || std::string(argv[i]) == "--whole";
    }
    setenv("ALSOFT_DRIVERS", "null", 0);
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    tonvale::testing::TempFolder sounds;
    std::string script =
        "\"cpu\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"volume\"\t\"0.6\"\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n"
        "\t\"playrandom\"\n\t{\n\t\t\"time\"\t\"0.5,2\"\n\t\t\"volume\"\t\"0.3,0.8\"\n"
        "\t\t\"pitch\"\t\"80,120\"\n\t\t\"rndwave\"\n\t\t{\n";
    tonvale::testing::writeWave(sounds.file("loop.wav"), {.frequency = 0, .seconds = 8, .channels = 2});
    for (int i = 0; i < 20; ++i) {
        const std::string name = "r" + std::to_string(i) + ".wav";
        tonvale::testing::writeWave(
            sounds.file(name),
            {.frequency = 200.0 + 40 * i, .seconds = 1.5, .sampleRate = i % 2 ? 22050 : 44100});
        script += "\t\t\t\"wave\"\t\"" + name + "\"\n";
    }
    script += "\t\t}\n\t}\n}\n";
    tonvale::LoadResult doc =
        tonvale::loadScript(whole ? tonvale::bench::writeBenchSoundscape(sounds) : script);

    tonvale::AudioEngine audio;
    if (!audio.init()) {
        std::fprintf(stderr, "%s\n", audio.errorText("Error initializing audio!").c_str());
        return 1;
    }
    BenchHost host;
    tonvale::Node* selected = doc.tree.topLevel().front();
    const tonvale::SoundscapeValueNodes nodes =
        tonvale::analyseSoundscape(doc.tree, selected, sounds.path(), audio);
    tonvale::PlayerPanel panel(doc.tree, selected, nodes, audio, host);
    panel.setSoundscapeSources(sounds.path(), {});
    panel.show();
    app.processEvents();
    if (whole)
        panel.toggleWhole();
    else
        panel.toggleAll();

    int started = 0;
    QObject::connect(&panel.randomTimer(), &QTimer::timeout, [&started] { ++started; });
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, [&] {
        // Read before quitting: quitting closes the panel, which stops the whole soundscape.
        if (whole)
            started = static_cast<int>(panel.wholePlayer().starts().size());
        QApplication::quit();
    });
    app.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("%s: %.2f %% of one core (%.2f s CPU over %.1f s, %d random waves started)\n",
                whole ? "whole soundscape in the panel" : "playback with a loop and 20 random waves",
                100.0 * cpu / elapsed, cpu, elapsed, started);
    if (!whole)
        panel.toggleAll();
    return 0;
}
