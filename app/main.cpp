// SPDX-License-Identifier: MIT
// The program's entry: the application, the main window, the event loop.

#include "CommandLine.h"
#include "dialogs/QtPrompts.h"
#include "settings/Platform.h"
#include "settings/Settings.h"
#include "shell/AudioOutput.h"
#include "shell/FindWindow.h"
#include "shell/MainWindow.h"
#include "texts/Language.h"

#include <QApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = tonvale::answerInfoOptions(argc, argv))
        return *status;
    const tonvale::LanguageOption lang = tonvale::languageOption(argc, argv);
    if (!lang.error.empty()) {
        std::cerr << lang.error << '\n';
        return 2;
    }
    QApplication app(argc, argv);
    // No display name: Qt would append it to every window title, which reads exactly as set.
    QApplication::setApplicationName(QStringLiteral("TonvaleApp"));

    tonvale::Platform platform;
    // The interface language (and Qt's own texts with it): --lang for this run, else the settings file's.
    const std::string code =
        !lang.code.empty()
            ? lang.code
            : tonvale::storedLanguage(
                  (platform.writableFolder() + QString::fromLatin1(tonvale::SettingsFileName)).toStdString());
    tonvale::installLanguage(tonvale::parseLanguage(code).value_or(tonvale::Language::Russian));

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
