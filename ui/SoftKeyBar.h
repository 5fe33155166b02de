#pragma once
// The two soft keys at the foot of every screen: left goes back (or exits, or cancels), right goes
// on (next, done, menu). F1 and F2 press them from the keyboard.
#include "ui/controls/BgStatic.h"

namespace orvale::ui {

class FocusButton;

class SoftKeyBar : public BgStatic {
  public:
    explicit SoftKeyBar(QWidget* parent = nullptr);

    FocusButton* left() const { return left_; }
    FocusButton* right() const { return right_; }
    // An empty text hides the key.
    void setKeys(const QString& left, const QString& right);

  private:
    FocusButton* left_;
    FocusButton* right_;
    QWidget* divider_;
};

}  // namespace orvale::ui
