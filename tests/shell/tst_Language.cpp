// SPDX-License-Identifier: MIT
// The interface language in the window: without a setting every caption, dialog and message is the
// Russian text as before; with English installed (what --lang en or Lang=en in tnv.ini does at start)
// the menus, the settings dialog, the window's own messages and the core's messages are English. The
// Lang key of tnv.ini: read, kept, written only once a language was picked.

#include "WindowFixture.h"
#include "dialogs/SettingsDialog.h"
#include "document/Templates.h"
#include "settings/IniFile.h"
#include "texts/Language.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace tonvale;
using namespace tonvale::test;

namespace {
const std::string Script =
    "\"sc.one\"\r\n{\r\n\t\"playlooping\"\r\n\t{\r\n\t\t\"volume\"\t\"1\"\r\n\t}\r\n}\r\n";

QStringList menuTitles(MainWindow& w) {
    QStringList titles;
    for (QAction* a : w.menuBar()->actions())
        titles << a->text();
    return titles;
}

QStringList fileMenu(MainWindow& w) {
    QStringList captions;
    for (QAction* a : w.findChild<QMenu*>(QStringLiteral("menuFile"))->actions()) {
        if (!a->isSeparator() && !a->objectName().startsWith(QStringLiteral("recent")))
            captions << a->text();
    }
    return captions;
}
} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

    WindowFixture f;

    // Opens the settings dialog of `w`, lets `look` see it, then closes it with Escape.
    void withSettingsDialog(MainWindow& w, const std::function<void(SettingsDialog&)>& look) {
        bool seen = false;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<SettingsDialog*>(QApplication::activeModalWidget());
            if (d == nullptr)
                return;
            timer.stop();
            seen = true;
            look(*d);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        timer.start();
        QTimer::singleShot(3000, &timer, &QTimer::stop);
        w.commands().trigger(CommandId::Settings);
        QVERIFY(seen);
    }

    // The messages of opening a file with a wrong extension, of a file whose braces do not match
    // (a core message with a line number) and of the question of deleting a block (a core question
    // that names the element).
    QStringList messagesOfCommands(MainWindow& w) {
        f.prompts.clear();
        f.open(w, f.write(QStringLiteral("a.text"), Script));
        f.open(w, f.write(QStringLiteral("braces.txt"), "\"a\"\r\n{\r\n}\r\n}\r\n"));
        f.open(w, f.write(QStringLiteral("good.txt"), Script));
        w.selectNode(WindowFixture::findNode(w, "\"playlooping\""));
        f.prompts.answer(NoButtonAnswer);
        w.commands().trigger(CommandId::Delete);
        QStringList out;
        for (const PromptRecord& r : f.prompts.messages())
            out << r.text + QLatin1Char('|') + r.caption;
        return out;
    }

  private slots:
    void init() { f.reset(); }
    void cleanup() { installLanguage(Language::Russian); }

    void withoutASettingTheTextsAreRussian() {
        QCOMPARE(storedLanguage((f.folder->path() + QStringLiteral("/tnv.ini")).toStdString()),
                 std::string());
        auto w = f.makeWindow();
        QCOMPARE(installedLanguage(), Language::Russian);
        QCOMPARE(menuTitles(*w),
                 (QStringList{QStringLiteral("Файл"), QStringLiteral("Правка"), QStringLiteral("Помощь")}));
        QCOMPARE(fileMenu(*w), (QStringList{QStringLiteral("Новый файл..."), QStringLiteral("Открыть..."),
                                            QStringLiteral("Сохранить"), QStringLiteral("Сохранить как..."),
                                            QStringLiteral("Панель проекта"), QStringLiteral("Проблемы"),
                                            QStringLiteral("Выход")}));
        QCOMPARE(w->statusText(1), QStringLiteral("Сохранить изменения (во временный файл \"~\")"));
        withSettingsDialog(*w, [](SettingsDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Настройки"));
            QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("languageGroup"))->title(),
                     QStringLiteral("Язык интерфейса"));
            QCOMPARE(d.findChild<QComboBox*>(QStringLiteral("language"))->currentText(),
                     QStringLiteral("Русский"));
        });
        QCOMPARE(
            messagesOfCommands(*w),
            (QStringList{
                QStringLiteral("Ошибка. Используйте файлы soundscapes с расширением:  *.txt|Открыть файл"),
                QStringLiteral("Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных "
                               "скобок. Или файл непригоден для загрузки в программу. Строка 4: "
                               "закрывающая скобка «}» без открывающей.|Загрузка файла"),
                QStringLiteral("Вы действительно хотите удалить заголовок (параметр, секцию) "
                               "[\"playlooping\"] в [\"sc.one\"]?\rВнимание, комментарии также "
                               "удаляются.|Удалить")}));
        // Closing the dialog without picking a language keeps the settings file without the key.
        QVERIFY(w->close());
        IniFile ini;
        QVERIFY(ini.load((f.folder->path() + QStringLiteral("/tnv.ini")).toStdString()));
        QVERIFY(!ini.value("Options", "Lang"));
    }

    void englishCaptionsDialogsAndMessages() {
        QVERIFY(installLanguage(Language::English));
        auto w = f.makeWindow();
        QCOMPARE(menuTitles(*w),
                 (QStringList{QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("Help")}));
        QCOMPARE(fileMenu(*w), (QStringList{QStringLiteral("New File..."), QStringLiteral("Open..."),
                                            QStringLiteral("Save"), QStringLiteral("Save As..."),
                                            QStringLiteral("Project Panel"), QStringLiteral("Problems"),
                                            QStringLiteral("Exit")}));
        QCOMPARE(w->commands().action(CommandId::Delete)->text(), QStringLiteral("Delete Section (Block)"));
        QCOMPARE(w->commands().action(CommandId::Undo)->text(), QStringLiteral("Undo"));
        QCOMPARE(w->statusText(1), QStringLiteral("Save changes (to the temporary file \"~\")"));
        auto* pages = w->findChild<QTabWidget*>();
        QVERIFY(pages != nullptr);
        QCOMPARE(pages->tabText(0), QStringLiteral("Designer"));
        QCOMPARE(pages->tabText(1), QStringLiteral("File"));
        withSettingsDialog(*w, [](SettingsDialog& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Settings"));
            QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("languageGroup"))->title(),
                     QStringLiteral("Interface language"));
            QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("pathGroup"))->title(),
                     QStringLiteral("File paths"));
            auto* language = d.findChild<QComboBox*>(QStringLiteral("language"));
            QCOMPARE(language->currentText(), QStringLiteral("Русский"));
            language->setCurrentIndex(language->findData(QStringLiteral("en")));
        });
        QCOMPARE(w->settings().language, std::string("en"));
        QCOMPARE(messagesOfCommands(*w),
                 (QStringList{
                     QStringLiteral("Error. Use soundscape files with the extension:  *.txt|Open File"),
                     QStringLiteral("Error. One or more opening (closing) braces are missing. Or the file "
                                    "cannot be loaded into the program. Line 4: closing brace \"}\" "
                                    "without an opening one.|Loading the File"),
                     QStringLiteral("Do you really want to delete the header (parameter, section) "
                                    "[\"playlooping\"] in [\"sc.one\"]?\rNote: the comments are "
                                    "deleted too.|Delete")}));
        // The choice is kept for the next start.
        QVERIFY(w->close());
        const std::string ini = (f.folder->path() + QStringLiteral("/tnv.ini")).toStdString();
        QCOMPARE(storedLanguage(ini), std::string("en"));
    }

    // What the program writes into a script is the same in every language: the new file's template
    // with its Russian comment.
    void theNewFileTemplateStaysAsItIs() {
        QVERIFY(installLanguage(Language::English));
        auto w = f.makeWindow();
        const QString path = f.folder->path() + QStringLiteral("/new.txt");
        f.prompts.answer(path);
        f.prompts.answer(YesButton);
        w->commands().trigger(CommandId::NewFile);
        const auto messages = f.prompts.messages();
        QCOMPARE(messages.size(), std::size_t(1));
        QCOMPARE(messages[0].text, QStringLiteral("Create the blocks automatically?"));
        QCOMPARE(messages[0].caption, QStringLiteral("New File"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().toStdString(), newFileBytes(true));
        QVERIFY(newFileBytes(true).find("\xD1\xEE\xE7\xE4\xE0\xED\xE0") != std::string::npos); // "Создана"
    }

    void theLanguageKey() {
        const std::string path = (f.folder->path() + QStringLiteral("/tnv.ini")).toStdString();
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nLang=en\r\n");
        QCOMPARE(storedLanguage(path), std::string("en"));
        // An unknown language is Russian, and is not written back.
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nLang=de\r\n");
        QCOMPARE(storedLanguage(path), std::string());
        IniFile ini;
        AppSettings s;
        writeSettings(ini, s);
        QVERIFY(!ini.value("Options", "Lang"));
        s.language = "ru";
        writeSettings(ini, s);
        QCOMPARE(ini.value("Options", "Lang"), std::optional<std::string>("ru"));

        // Picking Russian over English in the dialog writes it; the window texts follow at the next start.
        f.write(QStringLiteral("tnv.ini"), "[Options]\r\nLang=en\r\n");
        auto w = f.makeWindow();
        QCOMPARE(w->settings().language, std::string("en"));
        QCOMPARE(menuTitles(*w).value(0), QStringLiteral("Файл"));
        withSettingsDialog(*w, [](SettingsDialog& d) {
            auto* language = d.findChild<QComboBox*>(QStringLiteral("language"));
            QCOMPARE(language->currentText(), QStringLiteral("English"));
            language->setCurrentIndex(language->findData(QStringLiteral("ru")));
        });
        QVERIFY(w->close());
        QCOMPARE(storedLanguage(path), std::string("ru"));
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_Language.moc"
