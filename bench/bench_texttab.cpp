// SPDX-License-Identifier: MIT
// The text tab, offscreen, on a 100,000-line script: switching from the tree to the text and back
// (writer, editor, colouring; then the brace check, loader and tree, with the core's load of the same
// bytes beside it), replace all of a frequent word (repaint suspended), and one keystroke typed in the
// middle of the script.

#include "QtBenchmarkMain.h"
#include "ScriptGenerator.h"
#include "document/Loader.h"
#include "document/Writer.h"
#include "editor/QtText.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/FindWindow.h"
#include "shell/MainWindow.h"
#include "shell/ProjectCommands.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <benchmark/benchmark.h>

using namespace tonvale;

namespace {

struct Window {
    TestFolder folder;
    Platform platform;
    ScriptedPrompts prompts;
    NullAudio audio;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<FindWindow> find;

    explicit Window(std::size_t lines) {
        platform.setProgramFolder(folder.path());
        platform.setWritableFolder(folder.path());
        platform.setEnvironmentLookup([](const QString&) { return false; });
        window = std::make_unique<MainWindow>(platform, prompts, audio);
        find = std::make_unique<FindWindow>(*window, prompts);
        window->show();
        QApplication::processEvents();
        prompts.answer(folder.write(QStringLiteral("big.txt"), bench::generateScript(lines)));
        window->openFile();
        window->selectNode(window->tree().first());
        QApplication::processEvents();
    }
    void setTab(int tab) {
        window->pages()->setCurrentIndex(tab);
        QApplication::processEvents();
    }
    // Until the project panels have indexed the document and listed its problems, as they have by the
    // time a user edits.
    void waitForIndex() {
        QElapsedTimer waited;
        waited.start();
        while (window->projectCommands()->busy() && waited.elapsed() < 30000)
            QTest::qWait(20);
    }
};

void BM_TreeToText(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        w.setTab(MainWindow::TextTab);
        state.PauseTiming();
        if (w.window->pages()->currentIndex() != MainWindow::TextTab)
            state.SkipWithError("the text tab was refused");
        w.setTab(MainWindow::TreeTab);
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(w.window->textEditor()->document()->blockCount());
}
BENCHMARK(BM_TreeToText)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// What Qt's own setPlainText of the same text costs in the same editor: the yardstick of the tree to
// text switch, which adds the writer, the conversion to UTF-16 and the colouring.
void BM_SetPlainTextOfTheSameText(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    const WriteResult written = writeScript(w.window->tree());
    const QString text = scriptToQString(written.bytes);
    QPlainTextEdit* editor = w.window->textEditor();
    for (auto _ : state) {
        editor->setPlainText(text);
        state.PauseTiming();
        editor->clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(text.count(QLatin1Char('\n')));
}
BENCHMARK(BM_SetPlainTextOfTheSameText)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TextToTree(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.setTab(MainWindow::TextTab);
        state.ResumeTiming();
        w.setTab(MainWindow::TreeTab);
        if (w.window->pages()->currentIndex() != MainWindow::TreeTab || w.window->tree().size() < 2)
            state.SkipWithError("the tree was not rebuilt");
    }
    state.counters["nodes"] = static_cast<double>(w.window->tree().size());
}
BENCHMARK(BM_TextToTree)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Back to the tree after an edit of the text: the brace check, the working file, the loader and the
// tree's installation in the window, with the document's problems listed as they are by the time a
// user edits. Its yardstick is the core's load of the same bytes, below.
void BM_TextToTreeAfterEdit(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        w.setTab(MainWindow::TextTab);
        QTextCursor cursor(w.window->textEditor()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("// edited"));
        w.waitForIndex();
        state.ResumeTiming();
        w.setTab(MainWindow::TreeTab);
        if (w.window->pages()->currentIndex() != MainWindow::TreeTab || w.window->tree().size() < 2)
            state.SkipWithError("the tree was not rebuilt");
    }
    state.counters["nodes"] = static_cast<double>(w.window->tree().size());
    state.counters["problems"] = static_cast<double>(w.window->projectCommands()->problems().size());
}
BENCHMARK(BM_TextToTreeAfterEdit)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CoreLoadOfTheSameText(benchmark::State& state) {
    const std::string bytes = bench::generateScript(static_cast<std::size_t>(state.range(0)));
    std::size_t nodes = 0;
    for (auto _ : state) {
        LoadResult result = loadScript(bytes);
        nodes = result.tree.size();
        benchmark::DoNotOptimize(result);
    }
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(BM_CoreLoadOfTheSameText)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReplaceAllFrequentWord(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    w.setTab(MainWindow::TextTab);
    const QString original = w.window->textEditor()->toPlainText();
    const auto count = original.count(QStringLiteral("volume"));
    for (auto _ : state) {
        state.PauseTiming();
        w.window->textEditor()->setPlainText(original);
        w.find->findText()->setText(QStringLiteral("volume"));
        w.find->replacementText()->setText(QStringLiteral("volume_level"));
        QApplication::processEvents();
        state.ResumeTiming();
        w.find->replaceAll();
        QApplication::processEvents();
    }
    if (w.window->textEditor()->toPlainText().count(QStringLiteral("volume_level")) != count)
        state.SkipWithError("not every occurrence was replaced");
    state.counters["replaced"] = static_cast<double>(count);
}
BENCHMARK(BM_ReplaceAllFrequentWord)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_KeystrokeInLargeScript(benchmark::State& state) {
    Window w(static_cast<std::size_t>(state.range(0)));
    w.setTab(MainWindow::TextTab);
    QPlainTextEdit* textEditor = w.window->textEditor();
    QTextCursor cursor(textEditor->document()->findBlockByNumber(textEditor->document()->blockCount() / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    textEditor->setTextCursor(cursor);
    textEditor->setFocus();
    for (auto _ : state) {
        QTest::keyClick(textEditor, Qt::Key_A);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_KeystrokeInLargeScript)->Arg(100000)->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

TONVALE_QT_BENCHMARK_MAIN()
