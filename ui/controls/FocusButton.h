#pragma once
// A standard push button that keyboard focus reaches, so a device without a touch screen (and a
// person without a mouse) can press it.
#include <QPushButton>

namespace orvale::ui {

class FocusButton : public QPushButton {
  public:
    explicit FocusButton(const QString& text = {}, QWidget* parent = nullptr) : QPushButton(text, parent) {
        setFocusPolicy(Qt::StrongFocus);
    }
};

}  // namespace orvale::ui
