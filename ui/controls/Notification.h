#pragma once
// The three private notifications the controls send their screen: 1 a row of a list was chosen,
// 2 an image label was tapped, 3 a text field took the focus (with its screen rectangle). They are
// custom events of those numbers above QEvent::User.
#include <QEvent>
#include <QPointer>
#include <QRect>

class QWidget;

namespace orvale::ui {

inline constexpr QEvent::Type kNotifyListChosen = static_cast<QEvent::Type>(QEvent::User + 1);
inline constexpr QEvent::Type kNotifyTapped = static_cast<QEvent::Type>(QEvent::User + 2);
inline constexpr QEvent::Type kNotifyFocused = static_cast<QEvent::Type>(QEvent::User + 3);

class ControlNotification : public QEvent {
  public:
    ControlNotification(Type type, int controlId, QRect screenRect = {})
        : QEvent(type), controlId_(controlId), screenRect_(screenRect) {}
    int controlId() const { return controlId_; }
    // Notification 3: the control's rectangle in global (screen) coordinates.
    QRect screenRect() const { return screenRect_; }

  private:
    int controlId_;
    QRect screenRect_;
};

// Where a control's notifications go: the screen that set itself as the target, else the nearest
// ancestor that accepts the event.
class NotificationLink {
  public:
    void setTarget(QObject* target) { target_ = target; }
    void setId(int id) { id_ = id; }
    int id() const { return id_; }
    // Sent at once (the parent acts before the control goes on). True when someone accepted it.
    bool send(QWidget& control, QEvent::Type type, QRect screenRect = {}) const;

  private:
    QPointer<QObject> target_;
    int id_ = 0;
};

}  // namespace orvale::ui
