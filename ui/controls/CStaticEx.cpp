#include "ui/controls/CStaticEx.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Images.h"
#include "ui/Theme.h"

namespace orvale::ui {

CStaticEx::CStaticEx(int id, QWidget* parent) : QLabel(parent) {
    link_.setId(id);
    setFocusPolicy(Qt::StrongFocus);
    setFont(theme::font(theme::Size::Body, true));
    setMinimumHeight(24);
}

void CStaticEx::setHeld(bool held) {
    held_ = held;
    update();
}

void CStaticEx::paintEvent(QPaintEvent*) {
    const bool pressed = down_ || held_;
    QPainter p(this);
    p.drawPixmap(0, 0, programImage(pressed ? kImagePickerPressed : kImagePicker, size(), devicePixelRatioF()));
    p.setFont(font());
    p.setPen(hasFocus() && !pressed ? theme::kAccentDark : theme::kInk);
    p.drawText(rect().adjusted(8, 0, -height(), 0), Qt::AlignVCenter | Qt::AlignLeft, text());
    if (hasFocus()) {
        p.setPen(QPen(theme::kAccent, 2));
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

void CStaticEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    down_ = true;
    update();
}

void CStaticEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !down_) return QLabel::mouseReleaseEvent(event);
    down_ = false;
    update();
    if (rect().contains(event->position().toPoint())) link_.send(*this, kNotifyTapped);
}

void CStaticEx::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            link_.send(*this, kNotifyTapped);
            event->accept();
            return;
        default: QLabel::keyPressEvent(event);
    }
}

}  // namespace orvale::ui
