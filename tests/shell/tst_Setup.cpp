// SPDX-License-Identifier: MIT
// The settings dialog offscreen: its opening states, the "VPROJECT" box, the folder-browse buttons,
// the fallbacks for folders that do not exist, and the command that applies it however it closes
// (Escape included), with the project folder taken from the platform.

#include "WindowFixture.h"
#include "dialogs/SettingsDialog.h"
#include "editor/ParamGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tonvale;
using namespace tonvale::test;

class TestSetup : public QObject {
    Q_OBJECT

    WindowFixture f;
    QString project; // an existing folder with a "sound" folder in it
    QString other;   // another existing folder
    AppSettings settings;

    QString sounds() const { return project + QDir::separator() + QStringLiteral("sound"); }
    std::unique_ptr<SettingsDialog> dialog() {
        auto d = std::make_unique<SettingsDialog>(settings, f.prompts, [this] { return project; });
        d->prepare();
        return d;
    }
    template <typename T> static T* child(SettingsDialog& d, const char* name) {
        return d.findChild<T*>(QString::fromLatin1(name));
    }
    static QList<bool> pathControlsEnabled(SettingsDialog& d) {
        return {child<QLineEdit>(d, "scriptsFolder")->isEnabled(),
                child<QToolButton>(d, "browseScripts")->isEnabled(),
                child<QLineEdit>(d, "soundsFolder")->isEnabled(),
                child<QToolButton>(d, "browseSounds")->isEnabled()};
    }

  private slots:
    void init() {
        f.reset();
        project = QFileInfo(f.write(QStringLiteral("project/sound/x.wav"), "")).dir().absolutePath();
        project = QFileInfo(project).dir().absolutePath();
        other = QFileInfo(f.write(QStringLiteral("other/x.txt"), "")).dir().absolutePath();
        settings = AppSettings{};
    }

    void openingStates_data() {
        QTest::addColumn<int>("scripts"); // 0 project folder, 1 other folder
        QTest::addColumn<int>("soundsKind");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("both defaults") << 0 << 0 << true;
        QTest::newRow("scripts default") << 0 << 1 << true;
        QTest::newRow("sounds default") << 1 << 0 << true;
        QTest::newRow("neither") << 1 << 1 << false;
    }
    void openingStates() {
        QFETCH(int, scripts);
        QFETCH(int, soundsKind);
        QFETCH(bool, ticked);
        settings.scriptsFolder = scripts == 0 ? project : other;
        settings.soundsFolder = soundsKind == 0 ? sounds() : other;
        auto d = dialog();
        QCOMPARE(child<QCheckBox>(*d, "useProjectVariable")->isChecked(), ticked);
        QCOMPARE(pathControlsEnabled(*d), QList<bool>(4, !ticked));
        // The fields show the stored folders, even where "VPROJECT" filled them first.
        QCOMPARE(child<QLineEdit>(*d, "scriptsFolder")->text(), settings.scriptsFolder);
        QCOMPARE(child<QLineEdit>(*d, "soundsFolder")->text(), settings.soundsFolder);
        const QString storedScripts = settings.scriptsFolder;
        const QString storedSounds = settings.soundsFolder;
        d->apply(); // both exist: kept
        QCOMPARE(settings.scriptsFolder, storedScripts);
        QCOMPARE(settings.soundsFolder, storedSounds);
    }

    void vprojectBoxEnablesAndRefills() {
        settings.scriptsFolder = project;
        settings.soundsFolder = other;
        auto d = dialog();
        auto* box = child<QCheckBox>(*d, "useProjectVariable");
        box->setChecked(false);
        QCOMPARE(pathControlsEnabled(*d), QList<bool>(4, true));
        QCOMPARE(child<QLineEdit>(*d, "soundsFolder")->text(), other);
        box->setChecked(true);
        QCOMPARE(pathControlsEnabled(*d), QList<bool>(4, false));
        QCOMPARE(child<QLineEdit>(*d, "scriptsFolder")->text(), project);
        QCOMPARE(child<QLineEdit>(*d, "soundsFolder")->text(), sounds());
    }

    void foldersThatDoNotExistFallBack_data() {
        QTest::addColumn<QString>("scripts");
        QTest::addColumn<QString>("soundsTyped");
        QTest::addColumn<bool>("scriptsKept");
        QTest::addColumn<bool>("soundsKept");
        QTest::newRow("missing sounds") << "other"
                                        << "nowhere" << true << false;
        QTest::newRow("empty scripts") << ""
                                       << "other" << false << true;
        QTest::newRow("a file is no folder") << "other/x.txt"
                                             << "other/x.txt" << false << false;
    }
    void foldersThatDoNotExistFallBack() {
        QFETCH(QString, scripts);
        QFETCH(QString, soundsTyped);
        QFETCH(bool, scriptsKept);
        QFETCH(bool, soundsKept);
        auto path = [this](const QString& name) { return name.isEmpty() ? QString() : f.folder->file(name); };
        settings.scriptsFolder = other;
        settings.soundsFolder = other;
        auto d = dialog();
        child<QLineEdit>(*d, "scriptsFolder")->setText(path(scripts));
        child<QLineEdit>(*d, "soundsFolder")->setText(path(soundsTyped));
        d->apply();
        QCOMPARE(settings.scriptsFolder, scriptsKept ? path(scripts) : project);
        QCOMPARE(settings.soundsFolder, soundsKept ? path(soundsTyped) : sounds());
    }

    void withoutProjectFolderTheFallbacksAreEmpty() {
        project.clear();
        settings.scriptsFolder = QStringLiteral("/no/such/folder");
        settings.soundsFolder = QStringLiteral("/no/such/folder");
        auto d = dialog();
        d->apply();
        QCOMPARE(settings.scriptsFolder, QString());
        QCOMPARE(settings.soundsFolder, QString(QDir::separator()) + QStringLiteral("sound"));
    }

    void saveModeAndConfirmation_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("pick"); // button the user picks, or none
        QTest::addColumn<int>("result");
        QTest::newRow("2 kept") << 2 << "" << 2;
        QTest::newRow("2 to 1") << 2 << "saveToTilde" << 1;
        QTest::newRow("1 to 2") << 1 << "saveToOriginal" << 2;
        QTest::newRow("3 survives") << 3 << "" << 3;
        QTest::newRow("0 to 2") << 0 << "saveToOriginal" << 2;
    }
    void saveModeAndConfirmation() {
        QFETCH(int, stored);
        QFETCH(QString, pick);
        QFETCH(int, result);
        settings.saveMode = stored;
        settings.saveOriginFile = false;
        auto d = dialog();
        d->show();
        QCOMPARE(child<QRadioButton>(*d, "saveToOriginal")->isChecked(), stored == 2);
        QCOMPARE(child<QRadioButton>(*d, "saveToTilde")->isChecked(), stored != 2);
        QVERIFY(child<QCheckBox>(*d, "confirmOriginal")->isChecked());
        if (!pick.isEmpty())
            QTest::mouseClick(d->findChild<QRadioButton*>(pick), Qt::LeftButton);
        child<QCheckBox>(*d, "confirmOriginal")->setChecked(false);
        QVERIFY(!child<QCheckBox>(*d, "keepLayout")->isChecked());
        child<QCheckBox>(*d, "keepLayout")->setChecked(true);
        d->apply();
        QCOMPARE(settings.saveMode, result);
        QVERIFY(settings.saveOriginFile);
        QVERIFY(settings.keepLayout);
    }

    void browseButtons() {
        settings.scriptsFolder = other;
        settings.soundsFolder = other;
        auto d = dialog();
        f.prompts.answer(project);
        child<QToolButton>(*d, "browseScripts")->click();
        QCOMPARE(settings.scriptsFolder, project); // at once, so a second browse starts there
        QCOMPARE(child<QLineEdit>(*d, "scriptsFolder")->text(), project);
        child<QToolButton>(*d, "browseScripts")->click(); // cancelled: nothing changes
        QCOMPARE(settings.scriptsFolder, project);
        f.prompts.answer(sounds());
        child<QToolButton>(*d, "browseSounds")->click();
        QCOMPARE(child<QLineEdit>(*d, "soundsFolder")->text(), sounds());
        const auto& r = f.prompts.records();
        QCOMPARE(r.size(), std::size_t(3));
        QCOMPARE(r[0].kind, PromptRecord::Kind::BrowseFolder);
        QCOMPARE(r[0].text, QStringLiteral("Путь к soundscapes"));
        QCOMPARE(r[0].caption, other);
        QCOMPARE(r[1].caption, project);
        QCOMPARE(r[2].text, QStringLiteral("Путь к \\sound"));
        QCOMPARE(r[2].caption, other);
    }

    void escapeAppliesTheDialog() {
        // The project folder: present in the process environment, its value from the system file.
        f.write(QStringLiteral("environment"), "VPROJECT=\"" + project.toStdString() + "\"\n");
        f.platform->setEnvironmentLookup(
            [](const QString& name) { return name == QStringLiteral("VPROJECT"); });
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nSaved=2\r\nCurdir=" + project.toStdString() +
                                               "\r\nSounddir=" + other.toStdString() + "\r\n");
        auto w = f.makeWindow();
        QCOMPARE(w->statusText(1), QStringLiteral("Сохранить изменения (в оригинальный файл)"));
        bool seen = false;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
            if (d == nullptr)
                return;
            timer.stop();
            seen = true;
            QVERIFY(d->findChild<QCheckBox*>(QStringLiteral("useProjectVariable"))->isChecked());
            QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("soundsFolder"))->text(), other);
            QVERIFY(d->findChild<QRadioButton*>(QStringLiteral("saveToOriginal"))->isChecked());
            QTest::mouseClick(d->findChild<QRadioButton*>(QStringLiteral("saveToTilde")), Qt::LeftButton);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        timer.start();
        QTimer::singleShot(3000, &timer, &QTimer::stop);
        w->commands().trigger(CommandId::Settings);
        QVERIFY(seen);
        QCOMPARE(w->settings().saveMode, 1);
        QCOMPARE(w->statusText(1), QStringLiteral("Сохранить изменения (во временный файл \"~\")"));
        QCOMPARE(w->settings().scriptsFolder, project);
        QCOMPARE(w->settings().soundsFolder, other);
        QCOMPARE(w->grid()->soundsFolder(), other);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_Setup.moc"
