// SPDX-License-Identifier: MIT
#include "audiopanel/TrackBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace tonvale {

TrackBar::TrackBar(Qt::Orientation orientation, int tag, QWidget* parent)
    : QSlider(orientation, parent), m_tag(tag) {
    if (orientation == Qt::Vertical) {
        // Min at the top, as the scales read: the largest value at the top.
        setInvertedAppearance(true);
        setInvertedControls(true);
        setTickPosition(QSlider::TicksRight);
    }
}

void TrackBar::setSelection(int start, int end) {
    m_selStart = start;
    m_selEnd = end;
    update();
}

void TrackBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (orientation() != Qt::Vertical || m_selEnd <= m_selStart || maximum() <= minimum())
        return;
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const int span = groove.height() - handle.height();
    auto yOf = [&](int value) {
        return groove.top() + handle.height() / 2 +
               QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, false);
    };
    QPainter p(this);
    const int x = groove.left() - 4;
    p.fillRect(QRect(QPoint(x, yOf(m_selStart)), QPoint(x + 2, yOf(m_selEnd))), QColor(0, 120, 215));
}

} // namespace tonvale
