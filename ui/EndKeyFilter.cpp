#include "ui/EndKeyFilter.h"

#include <QKeyEvent>

namespace orvale::ui {

bool EndKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The devices' End (hang-up) key arrives as F4.
        if (key->key() == Qt::Key_F4 && !key->isAutoRepeat()) app_.preTranslateKeyUp(kEndKey);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace orvale::ui
