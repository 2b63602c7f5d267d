// SPDX-License-Identifier: MIT
// The program's entry: the application, the main window, the event loop.

#include "CommandLine.h"
#include "dialogs/QtPrompts.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/FindWindow.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = tonvale::answerInfoOptions(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title, which reads exactly as set.
    QApplication::setApplicationName(QStringLiteral("TonvaleApp"));
    // Qt's own texts (standard buttons, file dialogs) in the interface's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

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
