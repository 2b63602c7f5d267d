// SPDX-License-Identifier: MIT
// Writes screenshots of the text tab with the find window open over it (text-find.png) and of the
// settings dialog (settings.png) into the folder given as the first argument. Run under a real
// display or xvfb-run: scripts/screenshot.sh text does that.

#include "WindowFixture.h"
#include "dialogs/QtPrompts.h"
#include "dialogs/SettingsDialog.h"
#include "shell/FindWindow.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace tonvale;

namespace {
void settle() {
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(50);
    }
}

bool save(const QPixmap& pixmap, const QString& path) {
    if (pixmap.isNull() || !pixmap.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_text <folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    test::WindowFixture f;
    f.reset();
    const std::string script = TestFolder::read(sampleScriptPath());
    auto w = f.makeWindow();
    FindWindow find(*w, f.prompts);
    w->move(40, 40);
    w->show();
    f.open(*w, f.write(QStringLiteral("scripts/soundscapes_sample.txt"), script));
    w->selectNode(w->tree().topLevel().size() > 1 ? w->tree().topLevel()[1] : w->tree().first());
    w->pages()->setCurrentIndex(MainWindow::TextTab);
    settle();
    w->commands().trigger(CommandId::Find);
    find.pages()->setCurrentIndex(1);
    find.findText()->setText(QStringLiteral("wave"));
    find.replacementText()->setText(QStringLiteral("wave"));
    find.search();
    find.search();
    find.move(w->geometry().right() - find.width() - 30, w->geometry().top() + 120);
    settle();
    const QRect both = w->frameGeometry().united(find.frameGeometry());
    bool ok =
        save(QGuiApplication::primaryScreen()->grabWindow(0, both.x(), both.y(), both.width(), both.height()),
             out + QStringLiteral("/text-find.png"));
    find.close();

    AppSettings settings;
    settings.saveMode = 2;
    settings.scriptsFolder = f.folder->path();
    settings.soundsFolder = f.folder->path() + QStringLiteral("/sound");
    SettingsDialog setup(
        settings, f.prompts, [&] { return f.folder->path(); }, w.get());
    setup.prepare();
    setup.show();
    settle();
    ok = save(setup.grab(), out + QStringLiteral("/settings.png")) && ok;
    setup.close();

    // Save As with the choice of layout under the file name.
    QtPrompts prompts(w.get());
    QTimer::singleShot(500, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ok = dialog != nullptr && save(dialog->grab(), out + QStringLiteral("/save-as.png")) && ok;
        if (dialog != nullptr)
            dialog->close();
    });
    prompts.saveScriptAs(QStringLiteral("Сохранить как"), f.folder->path(), QStringLiteral("TXT (*.txt)"),
                         QStringLiteral("txt"), true, true);
    w->setModified(false);
    w->close();
    return ok ? 0 : 1;
}
