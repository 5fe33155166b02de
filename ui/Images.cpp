#include "ui/Images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/Theme.h"

namespace orvale::ui {

namespace {
using namespace theme;

void header(QPainter& p, QRectF r) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kNavyLight);
    p.fillRect(r, g);
    // Two faint rings on the right: the mark of the program, large and quiet.
    p.setPen(QPen(QColor(255, 255, 255, 28), r.height() * 0.16));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(r.right() - r.height() * 0.5, r.center().y() + r.height() * 0.25), r.height() * 0.9,
                  r.height() * 0.9);
    p.setPen(QPen(QColor(255, 255, 255, 18), r.height() * 0.1));
    p.drawEllipse(QPointF(r.right() - r.height() * 0.5, r.center().y() + r.height() * 0.25), r.height() * 1.35,
                  r.height() * 1.35);
    p.fillRect(QRectF(r.left(), r.bottom() - 2, r.width(), 2), kAccent);
}

void card(QPainter& p, QRectF r) {
    const QRectF body = r.adjusted(1, 1, -1, -2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1b, 0x35, 0x54, 30));
    p.drawRoundedRect(body.translated(0, 1.5), 6, 6);
    p.setBrush(kCard);
    p.setPen(QPen(kLine, 1));
    p.drawRoundedRect(body, 6, 6);
}

// Two arrows chasing each other round a circle.
void logo(QPainter& p, QRectF r) {
    const qreal s = std::min(r.width(), r.height());
    const QRectF c(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(c);
    const QRectF ring = c.adjusted(s * 0.24, s * 0.24, -s * 0.24, -s * 0.24);
    p.setPen(QPen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 30 * 16, 130 * 16);
    p.drawArc(ring, 210 * 16, 130 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    const qreal a = s * 0.13;
    const QPointF tip1(ring.center().x() - ring.width() / 2 * 0.94, ring.center().y() - ring.height() * 0.1);
    p.drawPolygon(QPolygonF{tip1 + QPointF(-a, -a * 0.2), tip1 + QPointF(a, -a * 0.2), tip1 + QPointF(0, a)});
    const QPointF tip2(ring.center().x() + ring.width() / 2 * 0.94, ring.center().y() + ring.height() * 0.1);
    p.drawPolygon(QPolygonF{tip2 + QPointF(-a, a * 0.2), tip2 + QPointF(a, a * 0.2), tip2 + QPointF(0, -a)});
}

void roundIcon(QPainter& p, QRectF r, bool next) {
    const qreal s = std::min(r.width(), r.height()) - 2;
    const QRectF c(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawEllipse(c);
    p.setPen(QPen(Qt::white, s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (next) {
        p.drawPolyline(QPolygonF{QPointF(c.center().x() - s * 0.1, c.center().y() - s * 0.22),
                                 QPointF(c.center().x() + s * 0.14, c.center().y()),
                                 QPointF(c.center().x() - s * 0.1, c.center().y() + s * 0.22)});
    } else {
        p.drawLine(QPointF(c.center().x(), c.center().y() - s * 0.02), QPointF(c.center().x(), c.center().y() + s * 0.24));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(c.center().x(), c.center().y() - s * 0.22), s * 0.07, s * 0.07);
    }
}

void pill(QPainter& p, QRectF r, QColor top, QColor bottom, QColor border) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.drawRoundedRect(body, body.height() / 2, body.height() / 2);
}

void picker(QPainter& p, QRectF r, bool pressed) {
    const QRectF body = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(pressed ? kAccent : QColor(0xc3, 0xcc, 0xd8), pressed ? 2 : 1));
    p.setBrush(pressed ? QColor(0xfd, 0xf0, 0xe4) : kCard);
    p.drawRoundedRect(body, 4, 4);
    // The drop-down mark on the right.
    const qreal h = r.height();
    const QPointF c(r.right() - h * 0.5, r.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(pressed ? kAccentDark : kNavyLight);
    const qreal a = h * 0.14;
    if (pressed) {
        p.drawPolygon(QPolygonF{c + QPointF(-a, a * 0.6), c + QPointF(a, a * 0.6), c + QPointF(0, -a * 0.6)});
    } else {
        p.drawPolygon(QPolygonF{c + QPointF(-a, -a * 0.6), c + QPointF(a, -a * 0.6), c + QPointF(0, a * 0.6)});
    }
}
}  // namespace

QPixmap programImage(int id, QSize logicalSize, qreal dpr) {
    if (logicalSize.isEmpty()) return {};
    QPixmap pm(logicalSize * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(logicalSize));
    switch (id) {
        case kImageHeader: header(p, r); break;
        case kImageCountsCard: card(p, r); break;
        case kImageLogo: logo(p, r); break;
        case kImageNext: roundIcon(p, r, true); break;
        case kImageInfo: roundIcon(p, r, false); break;
        case kImageSync: pill(p, r, QColor(0xf2, 0x97, 0x4b), kAccent, kAccentDark); break;
        case kImageSyncPressed: pill(p, r, kAccentDark, QColor(0xa9, 0x55, 0x12), QColor(0x8a, 0x45, 0x0e)); break;
        case kImagePicker: picker(p, r, false); break;
        case kImagePickerPressed: picker(p, r, true); break;
        default: return {};
    }
    return pm;
}

}  // namespace orvale::ui
