// SPDX-License-Identifier: MIT
#include "editor/CommentsDialog.h"

#include "document/Edits.h"
#include "editor/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tonvale {

CommentsDialog::CommentsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CommentsDialog"));
    setFixedSize(ClientWidth, ClientHeight);

    auto* label1 = new QLabel(tr("Комментарий рядом с выбранным элементом"));
    label1->setObjectName(QStringLiteral("besideLabel"));
    m_besideEdit = new QLineEdit;
    m_besideEdit->setObjectName(QStringLiteral("commentBeside"));
    label1->setBuddy(m_besideEdit);
    auto* label2 = new QLabel(tr("Коментарии над выбранным элементом"));
    label2->setObjectName(QStringLiteral("aboveLabel"));
    m_aboveEdit = new QPlainTextEdit;
    m_aboveEdit->setObjectName(QStringLiteral("commentsAbove"));
    m_aboveEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_aboveEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_aboveEdit->setTabChangesFocus(true);
    label2->setBuddy(m_aboveEdit);

    m_okButton = new QPushButton(QStringLiteral("Ok"));
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(tr("Отмена"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAutoDefault(false);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(3);
    layout->addWidget(label1);
    layout->addWidget(m_besideEdit);
    layout->addWidget(label2);
    layout->addWidget(m_aboveEdit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    layout->addLayout(buttons);
}

void CommentsDialog::setComments(const std::string& beside, const std::string& commentsAbove) {
    m_besideEdit->setText(scriptToQString(beside));
    // One textEditor line per comment line; each line ends with a break, so an empty last line survives.
    QString text;
    for (const std::string& line : commentLines(commentsAbove)) {
        text += scriptToQString(line);
        text += QLatin1Char('\n');
    }
    m_aboveEdit->setPlainText(text);
}

std::string CommentsDialog::beside() const {
    return qstringToScript(m_besideEdit->text());
}

std::vector<std::string> CommentsDialog::aboveLines() const {
    return splitEditLines(qstringToScript(documentText(*m_aboveEdit->document())));
}

} // namespace tonvale
