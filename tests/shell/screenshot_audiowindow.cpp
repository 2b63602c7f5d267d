// SPDX-License-Identifier: MIT
// Writes two screenshots into the folder given as the first argument: the main window while a wave
// of the grid previews (status panel 2 shows its length), and the player panel opened from the
// window's command. Run under xvfb-run with ALSOFT_DRIVERS=null: scripts/screenshot.sh audio.
#include "AudioTestHelpers.h"
#include "dialogs/QtPrompts.h"
#include "editor/ParamGrid.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "testsupport/TestFolder.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

using namespace tonvale;

namespace {

const char* const Script =
    "// A town square by day.\r\n"
    "\"town.square.day\"\r\n{\r\n"
    "\t\"dsp\"\t\"1\"\r\n"
    "\t\"playlooping\"\r\n\t{\r\n\t\t\"volume\"\t\"0.7\"\r\n\t\t\"pitch\"\t\"100\"\r\n"
    "\t\t\"wave\"\t\"ambient/town/square_loop.wav\"\r\n\t}\r\n"
    "\t\"playrandom\"\r\n\t{\r\n\t\t\"time\"\t\"2,8\"\r\n\t\t\"volume\"\t\"0.4,0.8\"\r\n\t\t\"pitch\"\t\"90,"
    "110\"\r\n"
    "\t\t\"rndwave\"\r\n\t\t{\r\n"
    "\t\t\t\"wave\"\t\"ambient/town/bird1.wav\"\r\n\t\t\t\"wave\"\t\"ambient/town/bird2.wav\"\r\n"
    "\t\t\t\"wave\"\t\"ambient/town/cart.wav\"\r\n\t\t}\r\n\t}\r\n"
    "}\r\n"
    "\"town.square.night\"\r\n{\r\n"
    "\t\"dsp\"\t\"1\"\r\n"
    "\t\"playsoundscape\"\r\n\t{\r\n\t\t\"name\"\t\"town.square.day\"\r\n\t\t\"volume\"\t\"0.5\"\r\n\t}\r\n"
    "}\r\n";

bool save(QWidget* widget, const QString& file) {
    const bool ok = widget->grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    TestFolder folder;
    const std::string sounds = folder.file(QStringLiteral("sound/ambient/town")).toStdString();
    folder.write(QStringLiteral("sound/ambient/town/.keep"), "");
    testing::writeWave(sounds + "/square_loop.wav",
                       {.frequency = 0, .seconds = 2.0, .sampleRate = 22050, .amplitude = 0.2});
    testing::writeWave(sounds + "/bird1.wav", {.frequency = 1800, .seconds = 0.6, .sampleRate = 22050});
    testing::writeWave(sounds + "/bird2.wav", {.frequency = 2400, .seconds = 0.4, .sampleRate = 22050});
    testing::writeWave(sounds + "/cart.wav",
                       {.frequency = 0, .seconds = 60.0, .sampleRate = 8000, .amplitude = 0.3});
    const QString script = folder.write(QStringLiteral("scripts/soundscapes_town.txt"), Script);
    folder.write(QStringLiteral("tnv.ini"), "[Options]\nLastFile=" + script.toStdString() + "\nSounddir=" +
                                                folder.file(QStringLiteral("sound")).toStdString() + "\n");

    Platform platform;
    platform.setProgramFolder(folder.path());
    platform.setWritableFolder(folder.path());
    platform.setEnvironmentLookup([](const QString&) { return false; });
    QtPrompts prompts;
    OpenAlAudio audio;
    MainWindow window(platform, prompts, audio);
    if (window.startupAborted())
        return 1;
    prompts.setOwner(&window);
    window.show();
    QTest::qWait(300);

    // The long random wave "cart.wav" in the grid, playing.
    window.treeView()->expandAll();
    Node* rndwave = window.tree().topLevel()[0]->child(2)->child(3);
    window.selectNode(rndwave);
    ParamGrid* grid = window.grid();
    grid->setCurrentIndex(grid->gridModel()->index(2, ParamGridModel::ValueColumn));
    window.commands().trigger(CommandId::PlayWave);
    QTest::qWait(400);
    bool ok = save(&window, out + QStringLiteral("/main-preview.png"));
    window.commands().trigger(CommandId::PlayWave);

    // The player panel opened for the selected soundscape, its loop and random part playing.
    window.selectNode(window.tree().topLevel()[0]);
    QTimer::singleShot(300, [&] {
        QWidget* panel = QApplication::activeModalWidget();
        if (panel == nullptr) {
            ok = false;
            return;
        }
        if (auto* all = panel->findChild<QPushButton*>(QStringLiteral("playAllButton")))
            all->click();
        QTest::qWait(8500); // past the longest first delay (8 s): the display shows a wave
        ok = save(panel, out + QStringLiteral("/player-from-window.png")) && ok;
        panel->close();
    });
    window.commands().trigger(CommandId::PlayerPanel);
    window.close();
    return ok ? 0 : 1;
}
