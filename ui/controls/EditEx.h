#pragma once
// A text field with its own background colour. Taking the focus, it tells its screen where it is
// (notification 3), so that a scrolling page can bring it into view.
#include <QLineEdit>

#include "ui/controls/Notification.h"

namespace orvale::ui {

class EditEx : public QLineEdit {
  public:
    explicit EditEx(QWidget* parent = nullptr);
    void setBackground(QColor color);
    NotificationLink& link() { return link_; }

  protected:
    void focusInEvent(QFocusEvent* event) override;

  private:
    NotificationLink link_;
};

}  // namespace orvale::ui
