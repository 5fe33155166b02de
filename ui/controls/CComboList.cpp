#include "ui/controls/CComboList.h"

#include <QKeyEvent>

#include "ui/Theme.h"

namespace orvale::ui {

CComboList::CComboList(int id, QWidget* parent) : QListWidget(parent) {
    link_.setId(id);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(theme::font(theme::Size::Body, true));
    setFrameShape(QFrame::Box);
    setStyleSheet(QStringLiteral("QListWidget { border: 1px solid #1b3554; background: #ffffff; outline: 0; }"
                                 "QListWidget::item { padding-left: 8px; border: none; color: #1c2733; }"
                                 "QListWidget::item:selected { padding-left: 8px; border: none; background: #e9822f;"
                                 " color: #ffffff; }"));
    connect(this, &QListWidget::itemClicked, this, [this] { link_.send(*this, kNotifyListChosen); });
}

void CComboList::setRowHeight(int height) {
    rowHeight_ = height;
    for (int i = 0; i < count(); ++i) item(i)->setSizeHint(QSize(0, height));
}

void CComboList::keyPressEvent(QKeyEvent* event) {
    // Return chooses here; it must not also reach the dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        link_.send(*this, kNotifyListChosen);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace orvale::ui
