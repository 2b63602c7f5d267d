#include "editor/TfComment.h"

#include "document/Edits.h"
#include "editor/QtText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tonvale {

TfComment::TfComment(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfComment"));
    setFixedSize(ClientWidth, ClientHeight);

    auto* label1 = new QLabel(QStringLiteral("Коментарий рядом с выбранным элементом"));
    label1->setObjectName(QStringLiteral("Label1"));
    m_edOneStr = new QLineEdit;
    m_edOneStr->setObjectName(QStringLiteral("EdOneStr"));
    label1->setBuddy(m_edOneStr);
    auto* label2 = new QLabel(QStringLiteral("Коментарии над выбранным элементом"));
    label2->setObjectName(QStringLiteral("Label2"));
    m_memMoreStr = new QPlainTextEdit;
    m_memMoreStr->setObjectName(QStringLiteral("MemMoreStr"));
    m_memMoreStr->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memMoreStr->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memMoreStr->setTabChangesFocus(true);
    label2->setBuddy(m_memMoreStr);

    m_button1 = new QPushButton(QStringLiteral("Ok"));
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    m_button2 = new QPushButton(QStringLiteral("Отмена"));
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button2->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(3);
    layout->addWidget(label1);
    layout->addWidget(m_edOneStr);
    layout->addWidget(label2);
    layout->addWidget(m_memMoreStr, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);
    layout->addLayout(buttons);
}

void TfComment::setComments(const std::string& beside, const std::string& commentsAbove) {
    m_edOneStr->setText(scriptToQString(beside));
    // One memo line per comment line; each line ends with a break, so an empty last line survives.
    QString text;
    for (const std::string& line : commentLines(commentsAbove)) {
        text += scriptToQString(line);
        text += QLatin1Char('\n');
    }
    m_memMoreStr->setPlainText(text);
}

std::string TfComment::beside() const {
    return qstringToScript(m_edOneStr->text());
}

std::vector<std::string> TfComment::aboveLines() const {
    return splitEditLines(qstringToScript(m_memMoreStr->toPlainText()));
}

} // namespace tonvale
