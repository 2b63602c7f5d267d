#include "editor/TfNewItemTree.h"

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

TfNewItemTree::TfNewItemTree(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfNewItemTree"));
    setFixedSize(ClientWidth, ClientHeight);

    m_radioHeader = new QRadioButton(QStringLiteral("Заголовок в выбранном элементе"));
    m_radioHeader->setObjectName(QStringLiteral("RadioButton2"));
    m_radioHeader->setProperty(TagProperty, static_cast<int>(NewElementMode::Header));
    m_cbParam = freeTextCombo(QStringLiteral("CB_Param"));
    m_cbParam->addItems({QStringLiteral("playlooping"), QStringLiteral("playrandom"), QStringLiteral("rndwave"),
                         QStringLiteral("playsoundscape")});
    m_cbParam->setCurrentIndex(-1);
    m_cbParam->setEditText(QString());

    m_radioParameter = new QRadioButton(QStringLiteral("Параметр-значение в выбранном элементе"));
    m_radioParameter->setObjectName(QStringLiteral("RadioButton4"));
    m_radioParameter->setProperty(TagProperty, static_cast<int>(NewElementMode::Parameter));
    m_cbNamPar = freeTextCombo(QStringLiteral("CB_namPar"));
    m_cbNamPar->setEditText(fromUtf8(newtext::ParameterDefault));
    m_edit6 = new QLineEdit(fromUtf8(newtext::ValueDefault));
    m_edit6->setObjectName(QStringLiteral("Edit6"));
    m_edit6->setEnabled(false);
    m_edit6->installEventFilter(this);

    auto* label1 = new QLabel(QStringLiteral("Коментарий рядом с выбранным элементом"));
    label1->setObjectName(QStringLiteral("Label1"));
    m_edit7 = new QLineEdit;
    m_edit7->setObjectName(QStringLiteral("Edit7"));
    label1->setBuddy(m_edit7);
    auto* label2 = new QLabel(QStringLiteral("Коментарии над выбранным элементом"));
    label2->setObjectName(QStringLiteral("Label2"));
    m_memo1 = new QPlainTextEdit;
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo1->setTabChangesFocus(true);
    label2->setBuddy(m_memo1);

    m_button1 = new QPushButton(QStringLiteral("Создать"));
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    m_button1->setEnabled(false);  // until a mode is chosen
    m_button2 = new QPushButton(QStringLiteral("Отмена"));
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);
    for (QRadioButton* radio : {m_radioHeader, m_radioParameter})
        connect(radio, &QRadioButton::clicked, this, [this, radio] { RadioButton1Click(radio); });

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    // One row per mode: the radio button, then its fields.
    grid->addWidget(m_radioHeader, 0, 0);
    grid->addWidget(m_cbParam, 0, 1, 1, 2);
    grid->addWidget(m_radioParameter, 1, 0);
    grid->addWidget(m_cbNamPar, 1, 1);
    grid->addWidget(m_edit6, 1, 2);
    grid->addWidget(label1, 2, 0, 1, 3);
    grid->addWidget(m_edit7, 3, 0, 1, 3);
    grid->addWidget(label2, 4, 0, 1, 3);
    grid->addWidget(m_memo1, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);
    grid->addLayout(buttons, 6, 0, 1, 3);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(2, 2);
    grid->setRowStretch(5, 1);
}

void TfNewItemTree::setSuggestedNames(const QStringList& names) {
    const QString text = m_cbNamPar->currentText();
    m_cbNamPar->clear();
    m_cbNamPar->addItems(names);
    m_cbNamPar->setCurrentIndex(-1);
    m_cbNamPar->setEditText(text);
}

// Both radio buttons: the clicked one decides the mode and enables its fields; nothing is disabled,
// so after both were clicked every field stays open and the last click counts.
void TfNewItemTree::RadioButton1Click(QRadioButton* button) {
    m_answers.mode = static_cast<NewElementMode>(button->property(TagProperty).toInt());
    if (m_answers.mode == NewElementMode::Header) {
        m_cbParam->setEnabled(true);
    } else {
        m_cbNamPar->setEnabled(true);
        m_edit6->setEnabled(true);
    }
    m_button1->setEnabled(true);
}

void TfNewItemTree::Edit6Enter() {
    NewElementAnswers field;
    field.value = qstringToScript(m_edit6->text());
    field.enterValue();
    if (field.value.empty() && !m_edit6->text().isEmpty())
        m_edit6->clear();
}

bool TfNewItemTree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit6 && event->type() == QEvent::FocusIn)
        Edit6Enter();
    return QDialog::eventFilter(watched, event);
}

NewElementAnswers TfNewItemTree::answers() const {
    NewElementAnswers result;
    result.mode = m_answers.mode;
    result.headerName = qstringToScript(m_cbParam->currentText());
    result.parameterName = qstringToScript(m_cbNamPar->currentText());
    result.value = qstringToScript(m_edit6->text());
    result.commentBeside = qstringToScript(m_edit7->text());
    result.commentLines = splitEditLines(qstringToScript(m_memo1->toPlainText()));
    return result;
}

} // namespace tonvale
