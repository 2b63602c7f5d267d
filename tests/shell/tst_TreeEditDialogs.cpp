// SPDX-License-Identifier: MIT
// The real dialogs of the tree edits, shown modally through QtPrompts and driven by a timer that acts
// on the active modal widget: the new-element dialog, the comments dialog and the input box.

#include "dialogs/QtPrompts.h"
#include "document/Cp1251.h"
#include "editor/CommentsDialog.h"
#include "editor/NewElementDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace tonvale;

namespace {

// Runs `act` on the modal dialog once it is shown, while `ask` blocks; gives up after 3 s.
template <typename Dialog> void whenShown(const std::function<void(Dialog*)>& act) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr && clock->elapsed() < 3000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (dialog != nullptr)
            act(dialog);
    });
    timer->start(10);
}

template <typename T> T* child(QWidget* dialog, const char* name) {
    T* widget = dialog->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr)
        qFatal("no %s", name);
    return widget;
}

} // namespace

class TestTreeEditDialogs : public QObject {
    Q_OBJECT

  private slots:
    void newElementDialogStartsAsDescribed() {
        QtPrompts prompts;
        bool checked = false;
        whenShown<NewElementDialog>([&checked](NewElementDialog* d) {
            QCOMPARE(d->size(), QSize(517, 224));
            QCOMPARE(d->windowTitle(), QStringLiteral("Новый - [\"sc\"]"));
            QCOMPARE(child<QRadioButton>(d, "headerMode")->text(),
                     QStringLiteral("Заголовок в выбранном элементе"));
            QCOMPARE(child<QRadioButton>(d, "parameterMode")->text(),
                     QStringLiteral("Параметр-значение в выбранном элементе"));
            auto* param = child<QComboBox>(d, "headerName");
            QCOMPARE(param->count(), 4);
            QCOMPARE(param->itemText(3), QStringLiteral("playsoundscape"));
            QVERIFY(param->currentText().isEmpty());
            auto* name = child<QComboBox>(d, "parameterName");
            QCOMPARE(name->currentText(), QStringLiteral("Параметр"));
            QCOMPARE(name->count(), 2);
            QCOMPARE(name->itemText(1), QStringLiteral("\"soundmixer\""));
            QCOMPARE(child<QLineEdit>(d, "value")->text(), QStringLiteral("Значение"));
            for (QWidget* field : {static_cast<QWidget*>(param), static_cast<QWidget*>(name),
                                   static_cast<QWidget*>(child<QLineEdit>(d, "value")),
                                   static_cast<QWidget*>(child<QPushButton>(d, "okButton"))})
                QVERIFY(!field->isEnabled());
            QCOMPARE(child<QPushButton>(d, "okButton")->text(), QStringLiteral("Создать"));
            QCOMPARE(child<QPushButton>(d, "cancelButton")->text(), QStringLiteral("Отмена"));
            QCOMPARE(child<QLabel>(d, "besideLabel")->text(),
                     QStringLiteral("Комментарий рядом с выбранным элементом"));
            QCOMPARE(child<QLabel>(d, "aboveLabel")->text(),
                     QStringLiteral("Коментарии над выбранным элементом"));
            checked = true;
            QTest::keyClick(d, Qt::Key_Escape); // Escape cancels
        });
        QVERIFY(!prompts.newElement(QStringLiteral("Новый - [\"sc\"]"),
                                    {QStringLiteral("\"dsp\""), QStringLiteral("\"soundmixer\"")}));
        QVERIFY(checked);
    }

    void newElementParameterMode() {
        QtPrompts prompts;
        whenShown<NewElementDialog>([](NewElementDialog* d) {
            QTest::mouseClick(child<QRadioButton>(d, "parameterMode"), Qt::LeftButton);
            QVERIFY(child<QComboBox>(d, "parameterName")->isEnabled());
            QVERIFY(child<QPushButton>(d, "okButton")->isEnabled());
            QVERIFY(!child<QComboBox>(d, "headerName")->isEnabled());
            auto* name = child<QComboBox>(d, "parameterName");
            name->setCurrentIndex(0);
            auto* value = child<QLineEdit>(d, "value");
            value->setFocus(); // the default text goes when the field is entered
            QTRY_COMPARE(value->text(), QString());
            QTest::keyClicks(value, QStringLiteral("0.5"));
            QTest::keyClicks(child<QLineEdit>(d, "commentBeside"), QStringLiteral("beside"));
            child<QPlainTextEdit>(d, "textEditor")->setPlainText(QStringLiteral("a\u00A0\n\nб\n"));
            QTest::mouseClick(child<QPushButton>(d, "okButton"), Qt::LeftButton);
        });
        const std::optional<NewElementAnswers> got =
            prompts.newElement(QStringLiteral("Новый"), {QStringLiteral("\"wave\"")});
        QVERIFY(got.has_value());
        QCOMPARE(got->mode, NewElementMode::Parameter);
        QCOMPARE(got->parameterName, std::string("\"wave\""));
        QCOMPARE(got->value, std::string("0.5"));
        QCOMPARE(got->commentBeside, std::string("beside"));
        // The no-break space stays what it is (byte 0xA0), not a blank.
        QCOMPARE(got->commentLines, (std::vector<std::string>{"a\xA0", "", utf8ToCp1251("б")}));
    }

    void newElementLastRadioClickDecides() {
        QtPrompts prompts;
        whenShown<NewElementDialog>([](NewElementDialog* d) {
            QTest::mouseClick(child<QRadioButton>(d, "parameterMode"), Qt::LeftButton);
            QTest::mouseClick(child<QRadioButton>(d, "headerMode"), Qt::LeftButton);
            QVERIFY(child<QComboBox>(d, "parameterName")->isEnabled()); // nothing is disabled again
            QVERIFY(child<QLineEdit>(d, "value")->isEnabled());
            auto* header = child<QComboBox>(d, "headerName");
            QVERIFY(header->isEnabled());
            QTest::keyClicks(header, QStringLiteral("rndwave"));
            QTest::mouseClick(child<QPushButton>(d, "okButton"), Qt::LeftButton);
        });
        const std::optional<NewElementAnswers> got = prompts.newElement(QStringLiteral("Новый"), {});
        QVERIFY(got.has_value());
        QCOMPARE(got->mode, NewElementMode::Header);
        QCOMPARE(got->headerName, std::string("rndwave"));
        QCOMPARE(got->value, utf8ToCp1251("Значение")); // never entered
    }

    void commentsDialog() {
        QtPrompts prompts;
        whenShown<CommentsDialog>([](CommentsDialog* d) {
            QCOMPARE(d->size(), QSize(539, 174));
            QCOMPARE(d->windowTitle(), QStringLiteral("Комментарии [\"x\"]"));
            QCOMPARE(child<QLineEdit>(d, "commentBeside")->text(), QStringLiteral("near"));
            auto* textEditor = child<QPlainTextEdit>(d, "commentsAbove");
            QCOMPARE(textEditor->toPlainText(), QStringLiteral("a\n\nb\n"));
            QCOMPARE(child<QPushButton>(d, "okButton")->text(), QStringLiteral("Ok"));
            textEditor->setPlainText(QStringLiteral("a\u00A0\n\nb\n\n")); // one more empty line at the end
            QTest::mouseClick(child<QPushButton>(d, "okButton"), Qt::LeftButton);
        });
        const std::optional<CommentAnswers> got =
            prompts.editComments(QStringLiteral("Комментарии [\"x\"]"), "near", "a\r\rb\r");
        QVERIFY(got.has_value());
        QCOMPARE(got->beside, std::string("near"));
        QCOMPARE(got->aboveLines, (std::vector<std::string>{"a\xA0", "", "b", ""}));

        whenShown<CommentsDialog>([](CommentsDialog* d) {
            child<QLineEdit>(d, "commentBeside")->setText(QStringLiteral("changed"));
            QTest::mouseClick(child<QPushButton>(d, "cancelButton"), Qt::LeftButton);
        });
        QVERIFY(!prompts.editComments(QStringLiteral("c"), "near", "").has_value());
    }

    void inputBox() {
        QtPrompts prompts;
        whenShown<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Изменить"));
            QCOMPARE(d->textValue(), QStringLiteral("\"old\""));
            d->setTextValue(QStringLiteral("\"new\""));
            d->accept();
        });
        QCOMPARE(prompts.inputText(QStringLiteral("Изменить"), QString(), QStringLiteral("\"old\"")),
                 std::optional<QString>(QStringLiteral("\"new\"")));
        whenShown<QInputDialog>([](QInputDialog* d) { d->reject(); });
        QVERIFY(!prompts.inputText(QStringLiteral("x"), QString(), QString()).has_value());
    }

    void messageBreaksLinesAtCR() {
        QtPrompts prompts;
        QString shown;
        whenShown<QMessageBox>([&shown](QMessageBox* box) {
            shown = box->text();
            box->button(QMessageBox::No)->click();
        });
        const PromptButton answer =
            prompts.message(QStringLiteral("first?\rsecond."), QStringLiteral("Удалить"),
                            MessageIcon::Warning, YesButton | NoButtonAnswer, NoButtonAnswer);
        QCOMPARE(answer, NoButtonAnswer);
        QCOMPARE(shown, QStringLiteral("first?\nsecond."));
    }
};

QTEST_MAIN(TestTreeEditDialogs)
#include "tst_TreeEditDialogs.moc"
