// SPDX-License-Identifier: MIT
#include "shell/HelpCommands.h"

#include "dialogs/Prompts.h"
#include "settings/Platform.h"

#include <QFileInfo>

namespace tonvale {

void showAbout(Prompts& prompts) {
    prompts.message(QStringLiteral("Tonvale\nРедактор soundscape-скриптов с прослушиванием звуков."),
                    QStringLiteral("О программе"), MessageIcon::Information);
}

void showHelp(const Platform& platform, Prompts& prompts) {
    const QString help = platform.programFolder() + QStringLiteral("HelpTNV.chm");
    if (QFileInfo(help).isFile())
        platform.openDocument(help);
    else
        prompts.message(QStringLiteral("Sorry, cannot file exists"), QStringLiteral("Справка"),
                        MessageIcon::Error);
}

} // namespace tonvale
