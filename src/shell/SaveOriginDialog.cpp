#include "shell/SaveOriginDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tonvale {

TfSorigin::TfSorigin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfSorigin"));
    setWindowTitle(QStringLiteral("Сохранить"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(24, 24));
    auto* text = new QLabel(QStringLiteral("Вы действительно хотите сохранить текущий файл как оригинальный файл ресурса?"), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    text->setMinimumWidth(320);

    auto* yes = new QPushButton(QStringLiteral("Да"), this);
    yes->setObjectName(QStringLiteral("btYes"));
    yes->setDefault(true);
    auto* no = new QPushButton(QStringLiteral("Нет"), this);
    no->setObjectName(QStringLiteral("btNo"));
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);

    m_dontAsk = new QCheckBox(QStringLiteral("Больше не спрашивать"), this);
    m_dontAsk->setObjectName(QStringLiteral("cbDontAsk"));

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

bool TfSorigin::dontAskAgain() const {
    return m_dontAsk->isChecked();
}

} // namespace tonvale
