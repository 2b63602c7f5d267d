// SPDX-License-Identifier: MIT
#include "shell/HelpCommands.h"

#include "TonvaleVersion.h"
#include "dialogs/Prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace tonvale {

void showAbout(Prompts& prompts) {
    prompts.message(QCoreApplication::translate(
                        "tonvale", "Tonvale %1\nРедактор soundscape-скриптов с прослушиванием звуков.")
                        .arg(QString::fromLatin1(ProgramVersion)),
                    QCoreApplication::translate("tonvale", "О программе"), MessageIcon::Information);
}

void showHelp(QWidget* parent, Prompts& prompts, const QString& guide) {
    QFile file(guide);
    if (!file.open(QIODevice::ReadOnly)) {
        prompts.message(QCoreApplication::translate("tonvale", "Sorry, cannot file exists"),
                        QCoreApplication::translate("tonvale", "Справка"), MessageIcon::Error);
        return;
    }
    auto* window = parent->findChild<QWidget*>(QStringLiteral("helpWindow"), Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        window = new QWidget(parent, Qt::Window);
        window->setObjectName(QStringLiteral("helpWindow"));
        window->setWindowTitle(QCoreApplication::translate("tonvale", "Справка"));
        window->resize(760, 640);
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("helpText"));
        browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
    }
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpText"));
    // Pictures are named relative to the guide.
    browser->setSearchPaths({QFileInfo(guide).path()});
    browser->setMarkdown(QString::fromUtf8(file.readAll()));
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace tonvale
