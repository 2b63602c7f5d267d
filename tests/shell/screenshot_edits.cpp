// SPDX-License-Identifier: MIT
// Writes screenshots of the tree editing surface into the folder given as the first argument: the
// main window after a new file with blocks (tree expanded, the soundscape selected), the "Правка" menu,
// the new-element dialog in parameter mode and the comments dialog. Run under a real display or xvfb-run:
// scripts/screenshot.sh edits does that.

#include "editor/CommentsDialog.h"
#include "editor/NewElementDialog.h"
#include "editor/QtText.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/CommandTable.h"
#include "shell/MainWindow.h"
#include "testsupport/ScriptedPrompts.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace tonvale;

namespace {
bool save(QWidget& widget, const QString& file) {
    QTest::qWait(300);
    const bool ok = widget.grab().save(file);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
    return ok;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("scripts"));

    Platform platform;
    platform.setProgramFolder(folder.path());
    platform.setWritableFolder(folder.path());
    platform.setEnvironmentLookup([](const QString&) { return false; });
    ScriptedPrompts prompts;
    NullAudio audio;
    MainWindow window(platform, prompts, audio);
    window.show();
    QTest::qWait(200);

    // File > New with blocks, then expand everything.
    prompts.answer(folder.filePath(QStringLiteral("scripts/soundscapes_myfile.txt")));
    prompts.answer(YesButton);
    window.commands().trigger(CommandId::NewFile);
    window.commands().trigger(CommandId::ExpandAll);
    window.selectNode(window.tree().first());
    bool ok = save(window, out + QStringLiteral("/main-newfile.png"));

    QMenu* edit = window.findChild<QMenu*>(QStringLiteral("menuEdit"));
    edit->popup(window.mapToGlobal(QPoint(60, 24)));
    ok = save(*edit, out + QStringLiteral("/edit-menu.png")) && ok;
    edit->hide();

    NewElementDialog dialog(&window);
    dialog.setWindowTitle(QStringLiteral("Новый - [") + scriptToQString(window.tree().first()->text()) +
                          QLatin1Char(']'));
    dialog.setSuggestedNames({QStringLiteral("\"dsp\""), QStringLiteral("\"soundmixer\"")});
    dialog.show();
    QTest::qWait(100);
    QTest::mouseClick(dialog.findChild<QRadioButton*>(QStringLiteral("parameterMode")), Qt::LeftButton);
    ok = save(dialog, out + QStringLiteral("/newitem-dialog.png")) && ok;
    dialog.hide();

    CommentsDialog comments(&window);
    comments.setWindowTitle(QStringLiteral("Комментарии [") + scriptToQString(window.tree().first()->text()) +
                            QLatin1Char(']'));
    const NodeData* data = window.tree().first()->data();
    comments.setComments(data->commentBeside, data->commentsAbove);
    comments.show();
    ok = save(comments, out + QStringLiteral("/comments-dialog.png")) && ok;
    return ok ? 0 : 1;
}
