#pragma once
// A panel that fills its whole area with one colour.
#include <QColor>
#include <QWidget>

namespace orvale::ui {

class BgStatic : public QWidget {
  public:
    explicit BgStatic(QColor color, QWidget* parent = nullptr);
    void setColor(QColor color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
};

}  // namespace orvale::ui
