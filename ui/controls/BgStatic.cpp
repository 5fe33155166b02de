#include "ui/controls/BgStatic.h"

#include <QPainter>

namespace orvale::ui {

BgStatic::BgStatic(QColor color, QWidget* parent) : QWidget(parent), color_(color) {}

void BgStatic::setColor(QColor color) {
    color_ = color;
    update();
}

void BgStatic::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), color_); }

}  // namespace orvale::ui
