// SPDX-License-Identifier: MIT
// The section tree model over the document's tree: Qt's model checks on real scripts, and the signals
// views rely on when a document replaces another.

#include "document/Edits.h"
#include "document/Loader.h"
#include "document/NewElements.h"
#include "editor/SectionTreeModel.h"
#include "testsupport/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QIcon>
#include <QSignalSpy>
#include <QTest>

using namespace tonvale;

class TestSectionTreeModel : public QObject {
    Q_OBJECT

  private slots:
    void modelCheckOnScripts_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("sample") << sampleScriptPath();
        const QDir realworld(QStringLiteral(TONVALE_REALWORLD));
        const QStringList files = realworld.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
        for (int i = 0; i < files.size() && i < 4; ++i)
            QTest::newRow(qPrintable(files[i])) << realworld.filePath(files[i]);
    }
    void modelCheckOnScripts() {
        QFETCH(QString, path);
        SectionTree tree;
        SectionTreeModel model(&tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        LoadResult loaded = loadScriptFile(QFile::encodeName(path).toStdString());
        QVERIFY(loaded.ok());
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.beginReset();
        tree = std::move(loaded.tree);
        model.endReset();
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model.rowCount(), static_cast<int>(tree.topLevel().size()));
        // Every node is reachable through the model and maps back to itself.
        for (Node* node : tree.preorder()) {
            const QModelIndex at = model.indexOf(node);
            QCOMPARE(SectionTreeModel::nodeOf(at), node);
            QCOMPARE(SectionTreeModel::nodeOf(at.parent()), node->parent());
            QCOMPARE(model.rowCount(at), node->childCount());
            QVERIFY(!at.data(Qt::DecorationRole).value<QIcon>().isNull());
        }
    }

    void displaysScriptBytesAsUnicode() {
        SectionTree tree;
        SectionTreeModel model(&tree);
        tree.append(nullptr, "\"\xcf\xf0\xe8\xe2\xe5\xf2\""); // "Привет" in Windows-1251
        Node* marker = tree.append(nullptr, "");
        tree.setImages(marker, ImageEndMarker, ImageEndMarker);
        QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("\"Привет\""));
        QVERIFY(!model.index(2, 0).isValid());
        QVERIFY(!model.index(0, 1).isValid());
    }

    void structuralEditsInsideBracketsKeepViewsInStep() {
        LoadResult loaded = loadScript(
            "\"a\"\r\n{\r\n\t\"x\"\t\"1\"\r\n\t\"y\"\t\"2\"\r\n}\r\n\"b\"\r\n{\r\n\t\"z\"\t\"3\"\r\n}\r\n");
        SectionTree tree = std::move(loaded.tree);
        SectionTreeModel model(&tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        Node* a = tree.topLevel()[0];
        Node* b = tree.topLevel()[1];
        QPersistentModelIndex z = model.indexOf(b->child(0));

        model.beginInsert(a, 1, 1);
        Node* added = tree.insert(a, 1, "\"new\"");
        model.endInsert();
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(SectionTreeModel::nodeOf(inserted[0][0].value<QModelIndex>()), a);
        QCOMPARE(inserted[0][1].toInt(), 1);
        QCOMPARE(model.index(1, 0, model.indexOf(a)).data().toString(), QStringLiteral("\"new\""));

        QVERIFY(model.beginMove(added, b, 0));
        tree.move(added, b, 0);
        model.endMove();
        QCOMPARE(moved.size(), 1);
        QCOMPARE(z.row(), 1); // the persistent index followed its node
        QCOMPARE(SectionTreeModel::nodeOf(z), b->child(1));

        model.beginRemove(added);
        tree.remove(added);
        model.endRemove();
        QCOMPARE(removed.size(), 1);
        QCOMPARE(z.row(), 0);
        QCOMPARE(model.rowCount(model.indexOf(b)), 1);
    }

    // Every named edit of the document, reported through the model's observer: exact row signals,
    // persistent indexes that follow their nodes, and never a reset.
    void documentEditsThroughTheObserver() {
        LoadResult loaded =
            loadScript("\"a\"\r\n{\r\n\t\"x\"\t\"1\"\r\n}\r\n\"b\"\r\n{\r\n\t\"z\"\t\"3\"\r\n}\r\n");
        SectionTree tree = std::move(loaded.tree);
        SectionTreeModel model(&tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        TreeObserver* observer = model.observer();
        Node* a = tree.topLevel()[0];
        Node* b = tree.topLevel()[1];
        QPersistentModelIndex z = model.indexOf(b->child(0));

        const CreateResult soundscape = createSoundscape(tree, "c", observer);
        QVERIFY(soundscape);
        QCOMPARE(inserted.size(), 1);
        QVERIFY(!inserted[0][0].value<QModelIndex>().isValid());
        QCOMPARE(inserted[0][1].toInt(), 2);
        QCOMPARE(model.rowCount(), 4);

        const CreateResult block = createRandomBlock(tree, b, observer);
        QVERIFY(block);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(SectionTreeModel::nodeOf(inserted[1][0].value<QModelIndex>()), b);
        QCOMPARE(inserted[1][1].toInt(), 1);
        QCOMPARE(model.rowCount(model.indexOf(block.node)),
                 block.node->childCount()); // children came with it

        QVERIFY(moveNode(tree, block.node, a, PlacementAnswer::Yes, observer).done());
        QCOMPARE(moved.size(), 1);
        QCOMPARE(SectionTreeModel::nodeOf(z), b->child(0));
        QCOMPARE(model.index(0, 0, model.indexOf(a)).data().toString(), QStringLiteral("\"playrandom\""));
        QCOMPARE(moveNode(tree, block.node, a, PlacementAnswer::Yes, observer).outcome,
                 MoveOutcome::Unchanged);
        QCOMPARE(moved.size(), 1); // no move, no signal

        QVERIFY(renameNode(tree, soundscape.node, "\"d\"", observer).changed);
        QCOMPARE(model.indexOf(soundscape.node).data().toString(), QStringLiteral("\"d\""));

        QVERIFY(deleteNode(tree, block.node, observer).removed);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(SectionTreeModel::nodeOf(removed[0][0].value<QModelIndex>()), a);
        QCOMPARE(model.rowCount(model.indexOf(a)), 1);
        QCOMPARE(reset.size(), 0);
    }

    void resetReplacesAllRowsAndDropsOldIndexes() {
        SectionTree tree;
        SectionTreeModel model(&tree);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        LoadResult first = loadScript("\"a\"\r\n{\r\n\t\"x\"\t\"1\"\r\n}\r\n");
        model.beginReset();
        tree = std::move(first.tree);
        model.endReset();
        QPersistentModelIndex child = model.index(0, 0, model.index(0, 0));
        QVERIFY(child.isValid());
        LoadResult second = loadScript("\"b\"\r\n{\r\n}\r\n\"c\"\r\n{\r\n}\r\n");
        QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
        model.beginReset();
        tree = std::move(second.tree);
        model.endReset();
        QCOMPARE(aboutToReset.size(), 1);
        QVERIFY(!child.isValid());
        QCOMPARE(model.rowCount(), static_cast<int>(tree.topLevel().size()));
    }
};

QTEST_MAIN(TestSectionTreeModel)
#include "tst_SectionTreeModel.moc"
