// SPDX-License-Identifier: MIT
// The tree edits in the editor window, offscreen: delete a soundscape, and move one by drag and drop
// into another, in a 100,000-line script. Each runs through the window's command with the tree model
// reporting the rows, the view following, the selection and the grid refilled.

#include "QtBenchmarkMain.h"
#include "ScriptGenerator.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "shell/TextPage.h"
#include "shell/TreeEditor.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"

#include <QApplication>
#include <QTreeView>
#include <benchmark/benchmark.h>

using namespace tonvale;

namespace {

struct Window {
    TestFolder folder;
    Platform platform;
    ScriptedPrompts prompts;
    NullAudio audio;
    std::unique_ptr<MainWindow> window;
    QString path;

    explicit Window(std::size_t lines) {
        platform.setProgramFolder(folder.path());
        platform.setWritableFolder(folder.path());
        platform.setEnvironmentLookup([](const QString&) { return false; });
        window = std::make_unique<MainWindow>(platform, prompts, audio);
        window->show();
        path = folder.write(QStringLiteral("big.txt"), bench::generateScript(lines));
        reopen();
    }
    void reopen() {
        prompts.clear();
        prompts.answer(path);
        window->openFile();
        QApplication::processEvents();
    }
    Node* soundscape(std::size_t fromEnd) const {
        const auto& top = window->tree().topLevel();
        return top[top.size() - 1 - fromEnd];
    }
};

void BM_DeleteSoundscape(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.reopen();
        const std::size_t before = w.window->tree().size();
        w.window->selectNode(w.soundscape(w.window->tree().topLevel().size() / 2));
        QApplication::processEvents();
        w.prompts.answer(YesButton);
        state.ResumeTiming();
        w.window->treeEditor()->deleteSelected();
        QApplication::processEvents();
        state.PauseTiming();
        if (w.window->tree().size() >= before)
            state.SkipWithError("nothing deleted");
        state.ResumeTiming();
    }
    state.counters["nodes"] = static_cast<double>(w.window->tree().size());
}
BENCHMARK(BM_DeleteSoundscape)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_DragMoveSoundscape(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.reopen();
        Node* dragged = w.soundscape(1); // the last soundscape, into the first one
        Node* target = w.window->tree().first();
        w.window->selectNode(dragged);
        QApplication::processEvents();
        w.prompts.answer(NoButtonAnswer);
        state.ResumeTiming();
        w.window->treeEditor()->onNodeDropped(dragged, target);
        QApplication::processEvents();
        state.PauseTiming();
        if (dragged->parent() != target)
            state.SkipWithError("not moved");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DragMoveSoundscape)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

TONVALE_QT_BENCHMARK_MAIN()
