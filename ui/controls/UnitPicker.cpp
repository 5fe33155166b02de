#include "ui/controls/UnitPicker.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "ui/Strings.h"
#include "ui/controls/CComboList.h"
#include "ui/controls/CStaticEx.h"
#include "ui/controls/Notification.h"

namespace orvale::ui {

namespace {
constexpr int kFaceId = 1;
constexpr int kListId = 2;
}  // namespace

UnitPicker::UnitPicker(QWidget* overlayHost, QWidget* parent)
    : QWidget(parent), face_(new CStaticEx(kFaceId, this)), list_(new CComboList(kListId, overlayHost)),
      host_(overlayHost) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(face_);
    face_->link().setTarget(this);
    list_->link().setTarget(this);
    for (StringId id : {StringId::Day, StringId::Hour, StringId::Minute}) list_->addItem(uiText(id));
    list_->hide();
    list_->installEventFilter(this);
    setFocusProxy(face_);
    setCurrentRow(0);
}

void UnitPicker::setCurrentRow(int row) {
    current_ = row >= 0 && row < list_->count() ? row : -1;
    face_->setText(current_ < 0 ? QString() : list_->item(current_)->text());
}

bool UnitPicker::isOpen() const { return list_->isVisible(); }

void UnitPicker::setRowHeight(int height) { list_->setRowHeight(height); }

void UnitPicker::customEvent(QEvent* event) {
    if (event->type() == kNotifyTapped) {
        toggle();
    } else if (event->type() == kNotifyListChosen) {
        choose();
    } else {
        return QWidget::customEvent(event);
    }
    event->accept();
}

void UnitPicker::toggle() {
    if (isOpen()) return close();
    list_->setRowHeight(list_->rowHeight());
    list_->setCurrentRow(current_ < 0 ? 0 : current_);
    const int height = list_->count() * list_->rowHeight() + 2;
    QPoint at = face_->mapTo(host_, QPoint(0, face_->height()));
    // Just under the face; over it when the space below is too short.
    if (at.y() + height > host_->height()) at.setY(std::max(0, at.y() - face_->height() - height));
    list_->setGeometry(at.x(), at.y(), face_->width(), height);
    list_->show();
    list_->raise();
    list_->setFocus();
    face_->setHeld(true);
    if (onOpened_) onOpened_(list_);
}

void UnitPicker::choose() {
    setCurrentRow(list_->currentRow());
    close();
    face_->update();
}

void UnitPicker::close() {
    list_->hide();
    face_->setHeld(false);
    face_->setFocus();
}

bool UnitPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        close();  // as a second tap: the choice stays
        return true;
    }
    if (watched == list_ && event->type() == QEvent::FocusOut && isOpen()) {
        auto* focus = static_cast<QFocusEvent*>(event);
        // Leaving the open list by Tab or a click elsewhere closes it, choice unchanged; the face
        // itself closes it through its own tap.
        if (focus->reason() != Qt::PopupFocusReason && QApplication::focusWidget() != face_) {
            list_->hide();
            face_->setHeld(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orvale::ui
