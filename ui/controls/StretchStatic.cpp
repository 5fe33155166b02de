#include "ui/controls/StretchStatic.h"

#include <QPainter>

#include "ui/Images.h"

namespace orvale::ui {

StretchStatic::StretchStatic(int imageId, QWidget* parent) : QWidget(parent), imageId_(imageId) {}

void StretchStatic::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (cache_.deviceIndependentSize().toSize() != size() || cache_.devicePixelRatio() != dpr)
        cache_ = programImage(imageId_, size(), dpr);
    QPainter(this).drawPixmap(0, 0, cache_);
}

}  // namespace orvale::ui
