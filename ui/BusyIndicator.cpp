#include "ui/BusyIndicator.h"

#include <QPainter>
#include <QTimerEvent>

#include "ui/Theme.h"

namespace orvale::ui {

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(22, 22);
    setVisible(false);
}

void BusyIndicator::setRunning(bool running) {
    if (running) {
        timer_.start(80, this);
    } else {
        timer_.stop();
    }
    setVisible(running);
}

void BusyIndicator::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) return QWidget::timerEvent(event);
    angle_ = (angle_ + 30) % 360;
    update();
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(3, 3, -3, -3);
    p.setPen(QPen(theme::kLine, 3));
    p.drawEllipse(r);
    p.setPen(QPen(theme::kAccent, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, -angle_ * 16, 100 * 16);
}

}  // namespace orvale::ui
