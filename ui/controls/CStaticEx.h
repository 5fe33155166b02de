#pragma once
// A text drawn over one of two pictures, normal and pressed. A tap, or Space or Return while it has
// the focus, sends notification 2 with the control's identifier to its screen.
#include <QLabel>

#include "ui/controls/Notification.h"

namespace orvale::ui {

class CStaticEx : public QLabel {
  public:
    explicit CStaticEx(int id, QWidget* parent = nullptr);
    NotificationLink& link() { return link_; }
    // Held pressed, e.g. while the list it opens is shown.
    void setHeld(bool held);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    NotificationLink link_;
    bool down_ = false;
    bool held_ = false;
};

}  // namespace orvale::ui
