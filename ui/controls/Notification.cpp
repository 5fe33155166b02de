#include "ui/controls/Notification.h"

#include <QCoreApplication>
#include <QWidget>

namespace orvale::ui {

bool NotificationLink::send(QWidget& control, QEvent::Type type, QRect screenRect) const {
    ControlNotification event(type, id_, screenRect);
    if (target_) {
        QCoreApplication::sendEvent(target_, &event);
        return true;
    }
    for (QWidget* w = control.parentWidget(); w != nullptr; w = w->parentWidget()) {
        event.ignore();
        QCoreApplication::sendEvent(w, &event);
        if (event.isAccepted()) return true;
    }
    return false;
}

}  // namespace orvale::ui
