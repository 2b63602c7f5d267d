// SPDX-License-Identifier: MIT
#include "dialogs/SaveOriginDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tonvale {

SaveOriginDialog::SaveOriginDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SaveOriginDialog"));
    setWindowTitle(tr("Сохранить"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(24, 24));
    auto* text =
        new QLabel(tr("Вы действительно хотите сохранить текущий файл как оригинальный файл ресурса?"), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    text->setMinimumWidth(320);

    auto* yes = new QPushButton(tr("Да"), this);
    yes->setObjectName(QStringLiteral("yesButton"));
    yes->setDefault(true);
    auto* no = new QPushButton(tr("Нет"), this);
    no->setObjectName(QStringLiteral("noButton"));
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    m_dontAsk = new QCheckBox(tr("Больше не спрашивать"), this);
    m_dontAsk->setObjectName(QStringLiteral("dontAsk"));

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch();
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->addWidget(rule);
    layout->addWidget(m_dontAsk);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool SaveOriginDialog::dontAskAgain() const {
    return m_dontAsk->isChecked();
}

} // namespace tonvale
