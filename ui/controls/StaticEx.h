#pragma once
// A text in a given colour over a given background (transparent when none is given).
#include <QColor>
#include <QLabel>

#include "ui/Theme.h"

namespace orvale::ui {

class StaticEx : public QLabel {
  public:
    StaticEx(const QString& text, QColor textColor, theme::Size size, bool bold, QWidget* parent = nullptr);
    void setColors(QColor text, QColor background = Qt::transparent);
};

}  // namespace orvale::ui
