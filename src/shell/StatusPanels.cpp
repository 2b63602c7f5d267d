// SPDX-License-Identifier: MIT
#include "shell/StatusPanels.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

namespace tonvale {

StatusPanels::StatusPanels(QStatusBar* bar) {
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel;
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
    }
    // 280 pixels, or what the longer save-mode text needs in this font.
    m_panels[0]->setFixedWidth(
        std::max(280, m_panels[0]->fontMetrics().horizontalAdvance(saveModeText(1)) + 16));
    m_panels[0]->setAlignment(Qt::AlignCenter);
    // 150 pixels, or what the preview's text of a long wave needs in this font.
    m_panels[1]->setFixedWidth(
        std::max(150, m_panels[1]->fontMetrics().horizontalAdvance(
                          QCoreApplication::translate("tonvale", "Воспроизведение: 1,2e+02 сек.")) +
                          16));
    m_panels[1]->setAlignment(Qt::AlignCenter);
    m_panels[2]->setMinimumWidth(10);
    bar->addWidget(m_panels[0]);
    bar->addWidget(m_panels[1]);
    bar->addWidget(m_panels[2], 1);
    m_encoding = new QLabel;
    m_encoding->setObjectName(QStringLiteral("EncodingPanel"));
    m_encoding->setToolTip(QCoreApplication::translate("tonvale", "Кодировка текста документа"));
    bar->addPermanentWidget(m_encoding);
}

QString StatusPanels::encoding() const {
    return m_encoding->text();
}

void StatusPanels::setEncoding(const QString& name) {
    m_encoding->setText(name);
}

QString StatusPanels::text(int panel) const {
    return panel >= 1 && panel <= 3 ? m_panels[static_cast<std::size_t>(panel - 1)]->text() : QString();
}

void StatusPanels::setText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 3)
        m_panels[static_cast<std::size_t>(panel - 1)]->setText(text);
}

} // namespace tonvale
