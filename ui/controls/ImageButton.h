#pragma once
// A button drawn from the program's pictures (normal and pressed), with an optional text over
// them. It repaints its parent when its state changes, as the parent's picture may show through.
#include <QAbstractButton>

namespace orvale::ui {

class ImageButton : public QAbstractButton {
  public:
    ImageButton(int normalImage, int pressedImage, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    void setSizeHint(QSize hint) { hint_ = hint; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void stateChanged();

    int normal_;
    int pressed_;
    QSize hint_{32, 32};
};

}  // namespace orvale::ui
