// SPDX-License-Identifier: MIT
// The project panel, the problems panel and the commands across files, driven offscreen on a copy of
// the fixture project (scripts, manifest and sound folder with one planted case of every problem).

#include "document/TextHelpers.h"
#include "editor/ParamGrid.h"
#include "editor/SectionTreeModel.h"
#include "settings/Platform.h"
#include "shell/AudioOutput.h"
#include "shell/MainWindow.h"
#include "shell/ProjectCommands.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TestFolder.h"
#include "testsupport/TestPlatform.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QDockWidget>
#include <QFile>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <memory>

using namespace tonvale;

namespace {

const QColor Red(255, 0, 0);

QTreeWidgetItem* itemNamed(QTreeWidget* list, const QString& end) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).endsWith(end))
            return list->topLevelItem(i);
    }
    return nullptr;
}

} // namespace

class TestProjectWindow : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<Platform> m_platform;
    ScriptedPrompts m_prompts;
    NullAudio m_audio;

    QString project() const { return m_folder->file(QStringLiteral("project")); }
    QString script(const QString& name) const { return project() + QStringLiteral("/scripts/") + name; }

    std::unique_ptr<MainWindow> makeWindow(const QString& lastFile, bool panel = true) {
        m_folder->write(QStringLiteral("tnv.ini"),
                        ("[Options]\r\nLastFile=" + lastFile.toStdString() +
                         "\r\nCurdir=" + project().toStdString() + "\r\nSounddir=" + project().toStdString() +
                         "/sound\r\nProjectPanel=" + (panel ? "1" : "0") + "\r\nProblemsPanel=1\r\n"));
        auto w = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        waitForIndex(*w);
        return w;
    }
    static void waitForIndex(MainWindow& w) { QTRY_VERIFY_WITH_TIMEOUT(!w.projectCommands()->busy(), 20000); }
    static Node* node(MainWindow& w, const std::string& text) {
        for (Node* n : w.tree().preorder()) {
            if (trim(n->text()) == text)
                return n;
        }
        return nullptr;
    }
    static std::string gridRowText(MainWindow& w) {
        ParamGridModel* model = w.grid()->gridModel();
        const Node* row = model->rowNode(model->currentRow());
        return row != nullptr ? std::string(trim(row->text())) : std::string();
    }

  private slots:
    void init() {
        m_folder = std::make_unique<TestFolder>();
        m_platform = std::make_unique<Platform>();
        isolatePlatform(*m_platform, m_folder->path());
        m_prompts.clear();
        const QString fixture = QStringLiteral(TONVALE_PROJECT_FIXTURES "/project");
        QDirIterator files(fixture, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString from = files.next();
            m_folder->write(QStringLiteral("project/") + QDir(fixture).relativeFilePath(from),
                            TestFolder::read(from));
        }
    }

    void panelListsScriptsWithMarkers() {
        auto w = makeWindow(script(QStringLiteral("soundscapes_clean.txt")));
        ProjectCommands* p = w->projectCommands();
        QVERIFY(!p->projectDock()->isHidden());
        QVERIFY(w->commands().action(CommandId::ProjectPanel)->isChecked());
        QTreeWidget* list = p->scriptList();
        QTreeWidgetItem* gone = itemNamed(list, QStringLiteral("soundscapes_gone.txt"));
        QTreeWidgetItem* unlisted = itemNamed(list, QStringLiteral("soundscapes_unlisted.txt"));
        QTreeWidgetItem* open = itemNamed(list, QStringLiteral("soundscapes_clean.txt"));
        QTreeWidgetItem* town = itemNamed(list, QStringLiteral("soundscapes_town.txt"));
        QVERIFY(gone && unlisted && open && town);
        QVERIFY(gone->text(1).contains(QStringLiteral("нет файла")));
        QVERIFY(unlisted->text(1).contains(QStringLiteral("нет в манифесте")));
        QVERIFY(open->text(1).startsWith(QStringLiteral("открыт")));
        QVERIFY(open->font(0).bold());
        QVERIFY(!town->text(1).contains(QStringLiteral("открыт")));
        QVERIFY(!town->text(1).contains(QStringLiteral("нет")));
        // The editor's temporary save copies are no scripts of the project.
        QVERIFY(itemNamed(list, QStringLiteral("~soundscapes_clean.txt")) == nullptr);

        // A script written into the folder appears without a command.
        m_folder->write(QStringLiteral("project/scripts/soundscapes_new.txt"), "\"new.one\"\r\n{\r\n}\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(itemNamed(list, QStringLiteral("soundscapes_new.txt")) != nullptr, 10000);
    }

    void activatingAScriptOpensItAfterTheKeepChangesQuestion() {
        auto w = makeWindow(script(QStringLiteral("soundscapes_clean.txt")));
        QTreeWidget* list = w->projectCommands()->scriptList();
        w->setModified(true);
        m_prompts.answer(CancelButton);
        emit list->itemActivated(itemNamed(list, QStringLiteral("soundscapes_town.txt")), 0);
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_clean.txt")));
        QCOMPARE(m_prompts.messages().size(), std::size_t(1));
        m_prompts.answer(NoButtonAnswer);
        emit list->itemActivated(itemNamed(list, QStringLiteral("soundscapes_town.txt")), 0);
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_town.txt")));
        QCOMPARE(m_prompts.messages().size(), std::size_t(2));
        waitForIndex(*w);
        QVERIFY(itemNamed(list, QStringLiteral("soundscapes_town.txt"))
                    ->text(1)
                    .startsWith(QStringLiteral("открыт")));
        // A missing script is not opened.
        emit list->itemActivated(itemNamed(list, QStringLiteral("soundscapes_gone.txt")), 0);
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_town.txt")));
    }

    void goToDefinitionOpensTheFileThatDefinesTheSoundscape() {
        auto w = makeWindow(script(QStringLiteral("soundscapes_town.txt")));
        // F12 on the "name" row of the playsoundscape block.
        Node* block = node(*w, "\"playsoundscape\"");
        QVERIFY(block);
        w->selectNode(block);
        ParamGrid* grid = w->grid();
        grid->setCurrentIndex(grid->gridModel()->index(0, ParamGridModel::ValueColumn));
        QCOMPARE(gridRowText(*w), std::string("\"name\""));
        QVERIFY(w->commands().trigger(CommandId::GoToDefinition));
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_clean.txt")));
        QCOMPARE(std::string(trim(w->selectedNode()->text())), std::string("\"clean.yard\""));

        // Ctrl+click on the value of a "name" goes the same way; the edit of the open document is
        // indexed first, so the name typed a moment ago is the one followed.
        waitForIndex(*w);
        w->selectNode(node(*w, "\"clean.street\""));
        const int row = [&] {
            for (int r = 0; r < grid->gridModel()->dataRows(); ++r) {
                if (grid->gridModel()->rowName(r) == QStringLiteral("\"name\""))
                    return r;
            }
            return -1;
        }();
        QVERIFY(row >= 0);
        grid->gridModel()->writeValue(row, QStringLiteral("\"cycle.b\""));
        waitForIndex(*w);
        m_prompts.answer(NoButtonAnswer); // the edit is not kept
        QTest::mouseClick(
            grid->viewport(), Qt::LeftButton, Qt::ControlModifier,
            grid->visualRect(grid->gridModel()->index(row, ParamGridModel::ValueColumn)).center());
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_cycle.txt")));
        QCOMPARE(std::string(trim(w->selectedNode()->text())), std::string("\"cycle.b\""));
    }

    void findReferencesListsEveryPlayerAndJumps() {
        auto w = makeWindow(script(QStringLiteral("soundscapes_clean.txt")));
        w->selectNode(node(*w, "\"clean.yard\""));
        QVERIFY(w->commands().trigger(CommandId::FindReferences));
        ProjectCommands* p = w->projectCommands();
        QVERIFY(!p->referencesDock()->isHidden());
        QTreeWidget* list = p->referenceList();
        QCOMPARE(list->topLevelItemCount(), 1);
        QVERIFY(list->topLevelItem(0)->text(0).endsWith(QStringLiteral("soundscapes_town.txt")));
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("8"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("town.square"));
        emit list->itemActivated(list->topLevelItem(0), 0);
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_town.txt")));
        QCOMPARE(std::string(trim(w->selectedNode()->text())), std::string("\"playsoundscape\""));
        QCOMPARE(gridRowText(*w), std::string("\"name\""));
    }

    void problemsPanelListsAndJumps() {
        auto w = makeWindow(script(QStringLiteral("soundscapes_problems.txt")));
        ProjectCommands* p = w->projectCommands();
        QVERIFY(!p->problemsDock()->isHidden());
        QTreeWidget* list = p->problemList();
        // The open file's problems: each with file, line, severity and message.
        QCOMPARE(list->topLevelItemCount(), 12); // as tonvale-format --lint lists them
        QTreeWidgetItem* key = nullptr;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            QVERIFY(item->text(0).endsWith(QStringLiteral("soundscapes_problems.txt")));
            QVERIFY(item->text(1).toInt() > 0);
            QVERIFY(!item->text(2).isEmpty());
            if (item->text(3).contains(QStringLiteral("volumme")))
                key = item;
        }
        QVERIFY(key);
        QCOMPARE(key->text(2), QStringLiteral("предупреждение"));
        emit list->itemActivated(key, 0);
        QCOMPARE(std::string(trim(w->selectedNode()->text())), std::string("\"playlooping\""));
        QCOMPARE(std::string(trim(w->selectedNode()->parent()->text())), std::string("\"problems.keys\""));
        QCOMPARE(gridRowText(*w), std::string("\"volumme\""));

        // The whole project: a problem of another file opens that file.
        p->problemScope()->setCurrentIndex(1);
        QTreeWidgetItem* cycle = nullptr;
        for (int i = 0; i < list->topLevelItemCount() && cycle == nullptr; ++i) {
            if (list->topLevelItem(i)->text(3).contains(QStringLiteral("[soundscape-cycle]")))
                cycle = list->topLevelItem(i);
        }
        QVERIFY(list->topLevelItemCount() > 12);
        QVERIFY(cycle);
        emit list->itemActivated(cycle, 0);
        QCOMPARE(w->currentFile(), script(QStringLiteral("soundscapes_cycle.txt")));
        QVERIFY(w->selectedNode() != nullptr);
    }

    void everyMissingWaveRowIsRedAndTheTreeMarksSoundscapesWithProblems() {
        m_folder->write(
            QStringLiteral("project/scripts/soundscapes_waves.txt"),
            "\"waves.mixed\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"wave\"\t\"ambient/gone1.wav\"\r\n"
            "\t}\r\n\t\"playrandom\"\r\n\t{\r\n\t\t\"rndwave\"\r\n\t\t{\r\n"
            "\t\t\t\"wave\"\t\"ambient/wind.wav\"\r\n\t\t\t\"wave\"\t\"ambient/gone2.wav\"\r\n"
            "\t\t}\r\n\t}\r\n}\r\n\"waves.fine\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n"
            "\t\t\"wave\"\t\"ambient/wind.wav\"\r\n\t}\r\n}\r\n");
        auto w = makeWindow(script(QStringLiteral("soundscapes_waves.txt")));
        w->selectNode(node(*w, "\"waves.mixed\""));
        ParamGridModel* model = w->grid()->gridModel();
        QStringList red;
        for (int r = 0; r < model->dataRows(); ++r) {
            for (int column : {0, 1}) {
                if (model->data(model->index(r, column), Qt::ForegroundRole).value<QColor>() == Red)
                    red << model->cellText(r, 1);
            }
        }
        QCOMPARE(red, (QStringList{
                          QStringLiteral("\"ambient/gone1.wav\""), QStringLiteral("\"ambient/gone1.wav\""),
                          QStringLiteral("\"ambient/gone2.wav\""), QStringLiteral("\"ambient/gone2.wav\"")}));

        SectionTreeModel* tree = w->treeModel();
        QVERIFY(tree->data(tree->indexOf(node(*w, "\"waves.mixed\"")), Qt::ForegroundRole).isValid());
        QVERIFY(!tree->data(tree->indexOf(node(*w, "\"waves.fine\"")), Qt::ForegroundRole).isValid());
    }

    void panelStateIsKeptInTheSettingsFile() {
        {
            auto w = makeWindow(script(QStringLiteral("soundscapes_clean.txt")), false);
            QVERIFY(w->projectCommands()->projectDock()->isHidden());
            QVERIFY(w->commands().trigger(CommandId::ProjectPanel));
            QVERIFY(!w->projectCommands()->projectDock()->isHidden());
            w->close();
        }
        QVERIFY(TestFolder::read(m_folder->file(QStringLiteral("tnv.ini"))).find("ProjectPanel=1") !=
                std::string::npos);
        auto w = std::make_unique<MainWindow>(*m_platform, m_prompts, m_audio);
        QVERIFY(!w->projectCommands()->projectDock()->isHidden());
        QVERIFY(w->commands().trigger(CommandId::ProjectPanel));
        QVERIFY(w->projectCommands()->projectDock()->isHidden());
        QVERIFY(!w->commands().action(CommandId::ProjectPanel)->isChecked());
        w->close();
        QVERIFY(TestFolder::read(m_folder->file(QStringLiteral("tnv.ini"))).find("ProjectPanel=0") !=
                std::string::npos);
    }
};

QTEST_MAIN(TestProjectWindow)
#include "tst_ProjectWindow.moc"
