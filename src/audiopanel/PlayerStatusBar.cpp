// SPDX-License-Identifier: MIT
#include "audiopanel/PlayerStatusBar.h"

#include <QPainter>
#include <QPolygon>

namespace tonvale {

PlayerStatusBar::PlayerStatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("statusBar"));
    setFixedHeight(21);
}

const std::array<QPixmap, 5>& PlayerStatusBar::images() {
    static const std::array<QPixmap, 5> pixmaps = [] {
        std::array<QPixmap, 5> out;
        for (int n = 0; n < 5; ++n) {
            QPixmap pm(17, 11);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QPen(QColor(0, 160, 0), 1.6));
            for (int i = 0; i <= n; ++i) {
                const int x = 1 + i * 3;
                p.drawPolyline(QPolygon({QPoint(x, 1), QPoint(x + 3, 5), QPoint(x, 9)}));
            }
            out[static_cast<std::size_t>(n)] = pm;
        }
        return out;
    }();
    return pixmaps;
}

void PlayerStatusBar::setPanelWidth(int panel, int width) {
    m_widths[static_cast<std::size_t>(panel)] = width;
    update();
}

void PlayerStatusBar::setPanelText(int panel, const QString& text) {
    m_texts[static_cast<std::size_t>(panel)] = text;
    update();
}

void PlayerStatusBar::drawIndicator(int left, int frame) {
    for (Mark& m : m_marks) {
        if (m.left == left || m.left < 0) {
            m.left = left;
            // Images are drawn over each other: what shows is the widest drawn so far.
            m.frame = std::max(m.frame, frame);
            break;
        }
    }
    update();
}

void PlayerStatusBar::clearIndicator(int left, int /*right*/) {
    for (Mark& m : m_marks)
        if (m.left == left)
            m.frame = -1;
    update();
}

int PlayerStatusBar::indicatorFrame(int left) const {
    for (const Mark& m : m_marks)
        if (m.left == left)
            return m.frame;
    return -1;
}

void PlayerStatusBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().button());
    int x = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const bool last = i == 3;
        const int w = last ? std::max(m_widths[i], width() - x) : m_widths[i];
        if (w > 0) {
            const QRect r(x, 1, w - 2, height() - 2);
            p.setPen(palette().mid().color());
            p.drawRect(r.adjusted(0, 0, -1, -1));
            if (!m_texts[i].isEmpty()) {
                p.setPen(palette().buttonText().color());
                p.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                           m_texts[i]);
            }
        }
        x += w;
    }
    for (const Mark& m : m_marks)
        if (m.left >= 0 && m.frame >= 0)
            p.drawPixmap(m.left, 5, images()[static_cast<std::size_t>(m.frame)]);
}

} // namespace tonvale
