#include "ui/controls/StaticEx.h"

#include <QPalette>

namespace orvale::ui {

StaticEx::StaticEx(const QString& text, QColor textColor, theme::Size size, bool bold, QWidget* parent)
    : QLabel(text, parent) {
    setFont(theme::font(size, bold));
    setColors(textColor);
}

void StaticEx::setColors(QColor text, QColor background) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Window, background);
    setPalette(p);
    setAutoFillBackground(background.alpha() != 0);
}

}  // namespace orvale::ui
