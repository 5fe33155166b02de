#include "ui/controls/ImageButton.h"

#include <QPainter>

#include "ui/Images.h"
#include "ui/Theme.h"

namespace orvale::ui {

ImageButton::ImageButton(int normalImage, int pressedImage, QWidget* parent)
    : QAbstractButton(parent), normal_(normalImage), pressed_(pressedImage) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::pressed, this, [this] { stateChanged(); });
    connect(this, &QAbstractButton::released, this, [this] { stateChanged(); });
    connect(this, &QAbstractButton::toggled, this, [this] { stateChanged(); });
}

QSize ImageButton::sizeHint() const { return hint_; }

void ImageButton::stateChanged() {
    if (QWidget* parent = parentWidget()) parent->update(geometry());
    update();
}

void ImageButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    stateChanged();
}

void ImageButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    stateChanged();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown() || isChecked();
    QPixmap face = programImage(down ? pressed_ : normal_, size(), devicePixelRatioF());
    if (!isEnabled()) {
        p.setOpacity(0.45);
    }
    p.drawPixmap(0, 0, face);
    p.setOpacity(1);
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(Qt::white);
        p.drawText(rect().translated(0, down ? 1 : 0), Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        p.setPen(QPen(theme::kNavy, 1.5, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    }
}

}  // namespace orvale::ui
