// SPDX-License-Identifier: MIT
// The player panel: opening it for a soundscape with 50 random waves (gathering the sounds,
// decoding them, building and showing the window), offscreen.
#include "AudioTestHelpers.h"
#include "audio/AudioEngine.h"
#include "audio/SoundscapeAnalysis.h"
#include "audiopanel/AudioHost.h"
#include "audiopanel/PlayerPanel.h"
#include "document/Loader.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

class BenchHost : public tonvale::AudioHost {
  public:
    void showMessage(const tonvale::Message&) override {}
    int masterVolumeSetting() const override { return 0; }
    void setMasterVolumeSetting(int) override {}
    void documentChanged() override {}
    std::string renderFileName(const std::string&) override { return {}; }
};

std::string soundscapeWithRandomWaves(int count) {
    std::string s =
        "\"bench\"\n{\n\t\"playlooping\"\n\t{\n\t\t\"volume\"\t\"0.5\"\n\t\t\"wave\"\t\"loop.wav\"\n\t}\n"
        "\t\"playrandom\"\n\t{\n\t\t\"time\"\t\"1,6\"\n\t\t\"volume\"\t\"0.4,0.9\"\n\t\t\"pitch\"\t\"90,"
        "110\"\n"
        "\t\t\"rndwave\"\n\t\t{\n";
    for (int i = 0; i < count; ++i)
        s += "\t\t\t\"wave\"\t\"rnd/w" + std::to_string(i) + ".wav\"\n";
    return s + "\t\t}\n\t}\n}\n";
}

void BM_OpenPlayerPanel(benchmark::State& state) {
    const int waves = static_cast<int>(state.range(0));
    tonvale::testing::TempFolder sounds;
    std::filesystem::create_directories(sounds.file("rnd"));
    tonvale::testing::writeWave(sounds.file("loop.wav"), {.seconds = 5});
    for (int i = 0; i < waves; ++i) // typical random waves: 1 to 3 s, mono, 44.1 or 22.05 kHz
        tonvale::testing::writeWave(
            sounds.file("rnd/w" + std::to_string(i) + ".wav"),
            {.frequency = 0, .seconds = 1.0 + (i % 3), .sampleRate = i % 2 ? 22050 : 44100});
    tonvale::LoadResult doc = tonvale::loadScript(soundscapeWithRandomWaves(waves));
    tonvale::Node* selected = doc.tree.topLevel().front();
    tonvale::AudioEngine audio;
    audio.initLoopback();
    BenchHost host;
    for (auto _ : state) {
        audio.releaseAll();
        const tonvale::SoundscapeValueNodes nodes =
            tonvale::analyseSoundscape(doc.tree, selected, sounds.path(), audio);
        tonvale::PlayerPanel panel(doc.tree, selected, nodes, audio, host);
        panel.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(panel.schedule().timeList().size());
        if (audio.randomWaves.channels.size() != static_cast<std::size_t>(waves))
            state.SkipWithError("not every wave opened");
        panel.close();
    }
    audio.releaseAll();
}
BENCHMARK(BM_OpenPlayerPanel)->Arg(50)->ArgName("waves")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
