#include "ui/SoftKeyBar.h"

#include <QHBoxLayout>

#include "ui/Theme.h"
#include "ui/controls/FocusButton.h"

namespace orvale::ui {

namespace {
const char* const kKeyStyle =
    "QPushButton { color: #ffffff; background: transparent; border: none; padding: 0 12px; }"
    "QPushButton:focus { color: #f5a25d; }"
    "QPushButton:pressed { background: #2f6690; }"
    "QPushButton:disabled { color: #6d7c8e; }";
}  // namespace

SoftKeyBar::SoftKeyBar(QWidget* parent)
    : BgStatic(theme::kBar, parent), left_(new FocusButton({}, this)), right_(new FocusButton({}, this)) {
    setObjectName(QStringLiteral("softkeys"));
    setFixedHeight(theme::kSoftKeyHeight);
    left_->setObjectName(QStringLiteral("softkey.left"));
    right_->setObjectName(QStringLiteral("softkey.right"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (FocusButton* key : {left_, right_}) {
        key->setStyleSheet(QString::fromLatin1(kKeyStyle));
        key->setFont(theme::font(theme::Size::Body, true));
        key->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    left_->setToolTip(QStringLiteral("F1"));
    right_->setToolTip(QStringLiteral("F2"));
    layout->addWidget(left_);
    divider_ = new BgStatic(theme::kNavyLight, this);
    divider_->setFixedSize(1, theme::kSoftKeyHeight - 14);
    layout->addWidget(divider_, 0, Qt::AlignVCenter);
    layout->addWidget(right_);
}

void SoftKeyBar::setKeys(const QString& left, const QString& right) {
    left_->setText(left);
    left_->setVisible(!left.isEmpty());
    right_->setText(right);
    right_->setVisible(!right.isEmpty());
    divider_->setVisible(!left.isEmpty() && !right.isEmpty());
}

}  // namespace orvale::ui
