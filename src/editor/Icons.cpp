// SPDX-License-Identifier: MIT
#include "editor/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace tonvale {

namespace {

using Draw = std::function<void(QPainter&)>;

// Everything is drawn on a 32 x 32 canvas and scaled by the views.
QPixmap render(const Draw& draw, int size = 32) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    draw(painter);
    return pixmap;
}

QIcon iconOf(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(render(draw, size));
    return icon;
}

const QColor Outline(60, 64, 72);

void folder(QPainter& p, const QColor& fill, bool open) {
    p.setPen(QPen(Outline.darker(110), 1.6));
    p.setBrush(fill.darker(115));
    p.drawRoundedRect(QRectF(3, 7, 26, 20), 2, 2);
    p.drawRoundedRect(QRectF(3, 5, 11, 5), 1.5, 1.5);
    p.setBrush(fill);
    if (open) {
        QPainterPath path;
        path.moveTo(7, 13);
        path.lineTo(31, 13);
        path.lineTo(26, 27);
        path.lineTo(3, 27);
        path.closeSubpath();
        p.drawPath(path);
    } else {
        p.drawRoundedRect(QRectF(3, 11, 26, 16), 2, 2);
    }
}

void page(QPainter& p, const QColor& fill) {
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.setPen(QPen(Outline, 1.6));
    p.setBrush(fill);
    p.drawPath(path);
    p.drawLine(QPointF(20, 3), QPointF(20, 9));
    p.drawLine(QPointF(20, 9), QPointF(26, 9));
}

void plusBadge(QPainter& p, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(17, 17, 14, 14));
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 20), QPointF(24, 28));
    p.drawLine(QPointF(20, 24), QPointF(28, 24));
}

void triangle(QPainter& p, const QColor& colour, const QRectF& box) {
    QPainterPath path;
    path.moveTo(box.left(), box.top());
    path.lineTo(box.right(), box.center().y());
    path.lineTo(box.left(), box.bottom());
    path.closeSubpath();
    p.setPen(QPen(colour.darker(130), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(path);
}

void speaker(QPainter& p) {
    QPainterPath path;
    path.moveTo(4, 12);
    path.lineTo(10, 12);
    path.lineTo(17, 5);
    path.lineTo(17, 27);
    path.lineTo(10, 20);
    path.lineTo(4, 20);
    path.closeSubpath();
    p.setPen(QPen(Outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(90, 110, 140));
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 120, 200), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 5, 14, 22), -60 * 16, 120 * 16);
}

void drawCommand(QPainter& p, IconId id) {
    switch (id) {
    case IconId::NewFile:
        page(p, Qt::white);
        plusBadge(p, QColor(40, 150, 60));
        break;
    case IconId::Open:
        folder(p, QColor(240, 196, 80), true);
        break;
    case IconId::Save:
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(QColor(50, 100, 170));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2.5, 2.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(210, 215, 225));
        p.drawRect(QRectF(8, 18, 16, 10));
        p.setBrush(Outline);
        p.drawRect(QRectF(18, 6, 3, 5));
        break;
    case IconId::Settings: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(100, 110, 125));
        p.translate(16, 16);
        for (int i = 0; i < 8; ++i) {
            p.drawRoundedRect(QRectF(-3, -14, 6, 8), 1.2, 1.2);
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), 4, 4);
        break;
    }
    case IconId::Comment: {
        QPainterPath path;
        path.addRoundedRect(QRectF(3, 5, 26, 18), 5, 5);
        QPainterPath tail;
        tail.moveTo(9, 21);
        tail.lineTo(7, 29);
        tail.lineTo(16, 22);
        tail.closeSubpath();
        p.setPen(QPen(QColor(150, 120, 20), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 226, 110));
        p.drawPath(path.united(tail));
        p.setPen(QPen(QColor(150, 120, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 11), QPointF(23, 11));
        p.drawLine(QPointF(9, 16), QPointF(19, 16));
        break;
    }
    case IconId::Player:
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(QColor(45, 52, 64));
        p.drawRoundedRect(QRectF(3, 6, 26, 20), 4, 4);
        triangle(p, QColor(90, 210, 110), QRectF(12, 10, 10, 12));
        break;
    case IconId::NewElement:
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(QColor(225, 232, 245));
        p.drawRoundedRect(QRectF(3, 4, 20, 6), 1.5, 1.5);
        p.drawRoundedRect(QRectF(3, 13, 20, 6), 1.5, 1.5);
        plusBadge(p, QColor(40, 150, 60));
        break;
    case IconId::ChooseFile:
        folder(p, QColor(240, 196, 80), false);
        p.setPen(QPen(QColor(40, 70, 140), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 13), QPointF(19, 23));
        p.drawLine(QPointF(19, 13), QPointF(24, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 70, 140));
        p.drawEllipse(QPointF(16.5, 23), 3, 2.5);
        break;
    case IconId::Find:
        p.setPen(QPen(QColor(70, 75, 85), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(28, 28));
        p.setPen(QPen(QColor(70, 75, 85), 2.4));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QPointF(13, 13), 9, 9);
        break;
    case IconId::Play:
        triangle(p, QColor(40, 160, 70), QRectF(8, 5, 18, 22));
        break;
    case IconId::Volume:
        speaker(p);
        break;
    case IconId::Stop:
        p.setPen(QPen(QColor(140, 30, 30), 1.6));
        p.setBrush(QColor(210, 50, 45));
        p.drawRoundedRect(QRectF(8, 8, 16, 16), 2, 2);
        break;
    case IconId::Expand:
    case IconId::Collapse: {
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 6, 20, 20));
        p.setPen(QPen(Outline, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 16), QPointF(21, 16));
        if (id == IconId::Expand)
            p.drawLine(QPointF(16, 11), QPointF(16, 21));
        break;
    }
    case IconId::Help:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setPen(Qt::white);
        {
            QFont font;
            font.setPixelSize(20);
            font.setBold(true);
            p.setFont(font);
        }
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
        break;
    case IconId::NewSoundscape:
        folder(p, QColor(240, 196, 80), false);
        plusBadge(p, QColor(40, 150, 60));
        break;
    case IconId::Rename: {
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(3, 18, 20, 10), 1.5, 1.5);
        QPainterPath pencil;
        pencil.moveTo(12, 24);
        pencil.lineTo(14, 18);
        pencil.lineTo(26, 6);
        pencil.lineTo(30, 10);
        pencil.lineTo(18, 22);
        pencil.closeSubpath();
        p.setPen(QPen(QColor(120, 80, 20), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(245, 180, 60));
        p.drawPath(pencil);
        break;
    }
    case IconId::Delete:
        p.setPen(QPen(QColor(200, 40, 40), 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case IconId::About:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 200));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
        p.drawRoundedRect(QRectF(14, 13.5, 4, 11), 1.5, 1.5);
        break;
    case IconId::Undo:
    case IconId::Redo: {
        // A curved arrow turning back (undo) or forward (redo).
        if (id == IconId::Redo) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        QPainterPath curve;
        curve.moveTo(9, 13);
        curve.cubicTo(16, 6, 28, 9, 26, 20);
        curve.cubicTo(25, 25, 20, 27, 15, 27);
        p.setPen(QPen(QColor(40, 90, 160), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(curve);
        QPolygonF head;
        head << QPointF(3, 13) << QPointF(13, 5) << QPointF(13, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 160));
        p.drawPolygon(head);
        break;
    }
    }
}

void drawTreeImage(QPainter& p, int index) {
    switch (index) {
    case 0: // header
        folder(p, QColor(240, 196, 80), false);
        break;
    case 1: // selected header
        folder(p, QColor(250, 214, 110), true);
        break;
    case 2:   // parameter
    case 3: { // selected parameter
        const bool selected = index == 3;
        p.setPen(QPen(selected ? QColor(20, 90, 40) : QColor(40, 80, 140), 1.6));
        p.setBrush(selected ? QColor(120, 210, 140) : QColor(150, 190, 240));
        p.drawRoundedRect(QRectF(6, 8, 20, 16), 3, 3);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 14), QPointF(21, 14));
        p.drawLine(QPointF(11, 19), QPointF(18, 19));
        break;
    }
    default: { // end marker
        p.setPen(QPen(QColor(130, 30, 30), 1.6));
        p.setBrush(QColor(205, 60, 60));
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double angle = (22.5 + 45.0 * i) * 3.14159265358979 / 180.0;
            octagon << QPointF(16 + 12 * std::cos(angle), 16 + 12 * std::sin(angle));
        }
        p.drawPolygon(octagon);
        p.setPen(QPen(Qt::white, 2.4));
        p.drawLine(QPointF(10, 16), QPointF(22, 16));
        break;
    }
    }
}

} // namespace

QIcon commandIcon(IconId id) {
    return iconOf([id](QPainter& p) { drawCommand(p, id); });
}

QIcon treeImage(int index) {
    QIcon icon = iconOf([index](QPainter& p) { drawTreeImage(p, index); });
    const int selected = index == 0 ? 1 : index == 2 ? 3 : -1;
    if (selected >= 0) {
        for (int size : {16, 24, 32})
            icon.addPixmap(render([selected](QPainter& p) { drawTreeImage(p, selected); }, size),
                           QIcon::Selected);
    }
    return icon;
}

} // namespace tonvale
