#pragma once
// The drop-down of a picker: a list that selects whole rows. Choosing a row (a tap, or Return)
// sends notification 1 with the control's identifier to its screen.
#include <QListWidget>

#include "ui/controls/Notification.h"

namespace orvale::ui {

class CComboList : public QListWidget {
  public:
    explicit CComboList(int id, QWidget* parent = nullptr);
    NotificationLink& link() { return link_; }
    void setRowHeight(int height);
    int rowHeight() const { return rowHeight_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    NotificationLink link_;
    int rowHeight_ = 30;
};

}  // namespace orvale::ui
