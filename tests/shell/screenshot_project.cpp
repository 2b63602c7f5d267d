// SPDX-License-Identifier: MIT
// Writes a screenshot of the main window with the project panel beside the tree, the problems panel
// below it, and the red rows of missing waves (project-panels.png), into the folder given as the
// first argument, on a copy of the fixture project. Run under a real display or xvfb-run:
// scripts/screenshot.sh project does that.

#include "WindowFixture.h"
#include "shell/ProjectCommands.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QDockWidget>
#include <QPixmap>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>

using namespace tonvale;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshot_project <folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    test::WindowFixture f;
    f.reset();
    const QString fixture = QStringLiteral(TONVALE_PROJECT_FIXTURES "/project");
    QDirIterator files(fixture, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        f.write(QStringLiteral("project/") + QDir(fixture).relativeFilePath(from), TestFolder::read(from));
    }
    const std::string project = f.folder->file(QStringLiteral("project")).toStdString();
    f.write(QStringLiteral("tnv.ini"),
            "[Options]\r\nLastFile=" + project + "/scripts/soundscapes_problems.txt\r\nCurdir=" + project +
                "\r\nSounddir=" + project + "/sound\r\nFontS=10\r\nProjectPanel=1\r\nProblemsPanel=1\r\n");
    auto w = f.makeWindow();
    w->resize(1020, 740);
    w->move(0, 0);
    w->show();
    ProjectCommands* p = w->projectCommands();
    if (!QTest::qWaitFor([p] { return !p->busy(); }, 20000)) {
        std::fprintf(stderr, "the project index was not built\n");
        return 1;
    }
    w->resizeDocks({p->projectDock()}, {300}, Qt::Horizontal);
    w->resizeDocks({p->problemsDock()}, {220}, Qt::Vertical);
    // The first problem (a missing wave) is double-clicked: its row is current in the grid.
    w->treeView()->expandAll();
    p->problemList()->setCurrentItem(p->problemList()->topLevelItem(0));
    emit p->problemList()->itemActivated(p->problemList()->topLevelItem(0), 0);
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QTest::qWait(50);
    }
    const QString path = out + QStringLiteral("/project-panels.png");
    const QPixmap shot = w->grab();
    if (shot.isNull() || !shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    w->close();
    return 0;
}
