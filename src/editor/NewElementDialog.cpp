// SPDX-License-Identifier: MIT
#include "editor/NewElementDialog.h"

#include "editor/QtText.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tonvale {

namespace {
const char* const TagProperty = "tag";

QComboBox* freeTextCombo(const QString& name) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setEnabled(false);
    return combo;
}
} // namespace

NewElementDialog::NewElementDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewElementDialog"));
    setFixedSize(ClientWidth, ClientHeight);

    m_headerMode = new QRadioButton(tr("Заголовок в выбранном элементе"));
    m_headerMode->setObjectName(QStringLiteral("headerMode"));
    m_headerMode->setProperty(TagProperty, static_cast<int>(NewElementMode::Header));
    m_headerName = freeTextCombo(QStringLiteral("headerName"));
    m_headerName->addItems({QStringLiteral("playlooping"), QStringLiteral("playrandom"),
                            QStringLiteral("rndwave"), QStringLiteral("playsoundscape")});
    m_headerName->setCurrentIndex(-1);
    m_headerName->setEditText(QString());

    m_parameterMode = new QRadioButton(tr("Параметр-значение в выбранном элементе"));
    m_parameterMode->setObjectName(QStringLiteral("parameterMode"));
    m_parameterMode->setProperty(TagProperty, static_cast<int>(NewElementMode::Parameter));
    m_parameterName = freeTextCombo(QStringLiteral("parameterName"));
    m_parameterName->setEditText(fromUtf8(newtext::ParameterDefault));
    m_valueEdit = new QLineEdit(fromUtf8(newtext::ValueDefault));
    m_valueEdit->setObjectName(QStringLiteral("value"));
    m_valueEdit->setEnabled(false);
    m_valueEdit->installEventFilter(this);

    auto* label1 = new QLabel(tr("Комментарий рядом с выбранным элементом"));
    label1->setObjectName(QStringLiteral("besideLabel"));
    m_besideEdit = new QLineEdit;
    m_besideEdit->setObjectName(QStringLiteral("commentBeside"));
    label1->setBuddy(m_besideEdit);
    auto* label2 = new QLabel(tr("Коментарии над выбранным элементом"));
    label2->setObjectName(QStringLiteral("aboveLabel"));
    m_aboveEdit = new QPlainTextEdit;
    m_aboveEdit->setObjectName(QStringLiteral("textEditor"));
    m_aboveEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_aboveEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_aboveEdit->setTabChangesFocus(true);
    label2->setBuddy(m_aboveEdit);

    m_okButton = new QPushButton(tr("Создать"));
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_okButton->setEnabled(false); // until a mode is chosen
    m_cancelButton = new QPushButton(tr("Отмена"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* radio : {m_headerMode, m_parameterMode})
        connect(radio, &QRadioButton::clicked, this, [this, radio] { chooseMode(radio); });

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    // One row per mode: the radio button, then its fields.
    grid->addWidget(m_headerMode, 0, 0);
    grid->addWidget(m_headerName, 0, 1, 1, 2);
    grid->addWidget(m_parameterMode, 1, 0);
    grid->addWidget(m_parameterName, 1, 1);
    grid->addWidget(m_valueEdit, 1, 2);
    grid->addWidget(label1, 2, 0, 1, 3);
    grid->addWidget(m_besideEdit, 3, 0, 1, 3);
    grid->addWidget(label2, 4, 0, 1, 3);
    grid->addWidget(m_aboveEdit, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 6, 0, 1, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    grid->setRowStretch(5, 1);
}

void NewElementDialog::setSuggestedNames(const QStringList& names) {
    const QString text = m_parameterName->currentText();
    m_parameterName->clear();
    m_parameterName->addItems(names);
    m_parameterName->setCurrentIndex(-1);
    m_parameterName->setEditText(text);
}

// Both radio buttons: the clicked one decides the mode and enables its fields; nothing is disabled,
// so after both were clicked every field stays open and the last click counts.
void NewElementDialog::chooseMode(QRadioButton* button) {
    m_answers.mode = static_cast<NewElementMode>(button->property(TagProperty).toInt());
    if (m_answers.mode == NewElementMode::Header) {
        m_headerName->setEnabled(true);
    } else {
        m_parameterName->setEnabled(true);
        m_valueEdit->setEnabled(true);
    }
    m_okButton->setEnabled(true);
}

void NewElementDialog::valueFocused() {
    NewElementAnswers field(shownEncoding());
    field.value = qstringToScript(m_valueEdit->text());
    field.enterValue();
    if (field.value.empty() && !m_valueEdit->text().isEmpty())
        m_valueEdit->clear();
}

bool NewElementDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_valueEdit && event->type() == QEvent::FocusIn)
        valueFocused();
    return QDialog::eventFilter(watched, event);
}

NewElementAnswers NewElementDialog::answers() const {
    NewElementAnswers result(shownEncoding());
    result.mode = m_answers.mode;
    result.headerName = qstringToScript(m_headerName->currentText());
    result.parameterName = qstringToScript(m_parameterName->currentText());
    result.value = qstringToScript(m_valueEdit->text());
    result.commentBeside = qstringToScript(m_besideEdit->text());
    result.commentLines = splitEditLines(qstringToScript(documentText(*m_aboveEdit->document())));
    return result;
}

} // namespace tonvale
