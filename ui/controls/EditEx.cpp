#include "ui/controls/EditEx.h"

#include <QFocusEvent>

#include "ui/Theme.h"

namespace orvale::ui {

EditEx::EditEx(QWidget* parent) : QLineEdit(parent) {
    setFont(theme::font(theme::Size::Body, false));
    setBackground(theme::kCard);
}

void EditEx::setBackground(QColor color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

void EditEx::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    link_.send(*this, kNotifyFocused, QRect(mapToGlobal(QPoint(0, 0)), size()));
}

}  // namespace orvale::ui
