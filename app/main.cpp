// SPDX-License-Identifier: MIT
// The program's entry: the application, the main window, the event loop.

#include "CommandLine.h"
#include "dialogs/QtPrompts.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/FindWindow.h"
#include "shell/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = tonvale::answerInfoOptions(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TonvaleApp"));
    QApplication::setApplicationDisplayName(QStringLiteral("TonvaleApp"));

    tonvale::Platform platform;
    tonvale::QtPrompts prompts;
    tonvale::OpenAlAudio audio;
    tonvale::MainWindow window(platform, prompts, audio);
    if (window.startupAborted())
        return 1;
    tonvale::FindWindow find(window, prompts); // hidden until Find shows it; kept for the whole run
    prompts.setOwner(&window);
    window.show();
    return QApplication::exec();
}
