// SPDX-License-Identifier: MIT
// The editor window, offscreen: open a script of 100,000 and of 1,000,000 lines (tree shown, first node
// selected) and a file of 5,000,000 short lines, and select a soundscape of 5,000 rows so the grid
// fills. Files over 4 MB load on another thread: the CPU column is the window's own thread.

#include "QtBenchmarkMain.h"
#include "ScriptGenerator.h"
#include "editor/ParamGrid.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"

#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>

#if defined(__linux__)
#include <sys/resource.h>
#endif

using namespace tonvale;

namespace {

struct Window {
    TestFolder folder;
    Platform platform;
    ScriptedPrompts prompts;
    NullAudio audio;
    std::unique_ptr<MainWindow> window;

    Window() {
        platform.setProgramFolder(folder.path());
        platform.setWritableFolder(folder.path());
        platform.setEnvironmentLookup([](const QString&) { return false; });
        window = std::make_unique<MainWindow>(platform, prompts, audio);
        window->show();
        QApplication::processEvents();
    }
    void open(const QString& path) {
        prompts.answer(path);
        window->openFile();
        QApplication::processEvents();
    }
};

std::string bigSoundscape(int rows) {
    std::string text = "\"big.one\"\r\n{\r\n\t\"playrandom\"\r\n\t{\r\n\t\t\"time\"\t\"1,"
                       "2\"\r\n\t\t\"rndwave\"\r\n\t\t{\r\n";
    for (int i = 0; i < rows - 3; ++i)
        text += "\t\t\t\"wave\"\t\"ambient/wind/sound_" + std::to_string(i) + ".wav\"\r\n";
    text += "\t\t}\r\n\t}\r\n}\r\n\"small\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n";
    return text;
}

void BM_OpenLargeScript(benchmark::State& state) {
    Window w;
    const QString path = w.folder.write(QStringLiteral("big.txt"),
                                        bench::generateScript(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) {
        w.open(path);
        if (w.window->selectedNode() != w.window->tree().first())
            state.SkipWithError("first node not selected");
    }
    state.counters["nodes"] = static_cast<double>(w.window->tree().size());
    // The document's own memory (nodes, node data, texts, child lists) and the process's peak, window
    // included.
    state.counters["tree_MB"] = static_cast<double>(w.window->tree().reservedBytes()) / 1e6;
#if defined(__linux__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
#endif
}
BENCHMARK(BM_OpenLargeScript)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

// 5,000,000 lines of one character (15 MB): "a", "{", "}" over and over, 1,666,667 top-level rows.
void BM_OpenFiveMillionShortLines(benchmark::State& state) {
    Window w;
    std::string bytes;
    bytes.reserve(15'000'000);
    for (int i = 0; i < 5'000'000; ++i)
        bytes += i % 3 == 0 ? "a\r\n" : i % 3 == 1 ? "{\r\n" : "}\r\n";
    bytes += "}\r\n";
    const QString path = w.folder.write(QStringLiteral("short.txt"), bytes);
    for (auto _ : state) {
        w.open(path);
        if (w.window->currentFile() != path)
            state.SkipWithError("not opened");
    }
    state.counters["nodes"] = static_cast<double>(w.window->tree().size());
}
BENCHMARK(BM_OpenFiveMillionShortLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FillGridOfLargeSoundscape(benchmark::State& state) {
    Window w;
    const int rows = static_cast<int>(state.range(0));
    w.open(w.folder.write(QStringLiteral("grid.txt"), bigSoundscape(rows)));
    Node* big = w.window->tree().first();
    Node* small = w.window->tree().topLevel()[1];
    for (auto _ : state) {
        state.PauseTiming();
        w.window->selectNode(small);
        QApplication::processEvents();
        state.ResumeTiming();
        w.window->selectNode(big);
        QApplication::processEvents();
    }
    if (w.window->grid()->gridModel()->dataRows() != rows)
        state.SkipWithError("grid does not list every row");
    state.counters["rows"] = rows;
}
BENCHMARK(BM_FillGridOfLargeSoundscape)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

TONVALE_QT_BENCHMARK_MAIN()
