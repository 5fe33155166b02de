#include "ui/ScreenDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <memory>

#include "ui/Images.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/BgStatic.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/StaticEx.h"
#include "ui/controls/StretchStatic.h"

namespace orvale::ui {

ScreenDialog::ScreenDialog(const QString& objectName, const QString& title, QWidget* parent) : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    resize(theme::kScreenSize);
    setMinimumSize(theme::kScreenSize);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    header_ = new StretchStatic(kImageHeader, this);
    header_->setFixedHeight(theme::kHeaderHeight);
    headerLayout_ = new QHBoxLayout(header_);
    headerLayout_->setContentsMargins(12, 0, 8, 2);
    headerLayout_->setSpacing(8);
    title_ = new StaticEx(title, Qt::white, theme::Size::Title, true, header_);
    title_->setObjectName(QStringLiteral("title"));
    headerLayout_->addWidget(title_, 1);
    outer->addWidget(header_);

    bodyPanel_ = new BgStatic(theme::kPaper, this);
    body_ = new QVBoxLayout(bodyPanel_);
    body_->setContentsMargins(theme::kMargin, theme::kMargin, theme::kMargin, theme::kMargin);
    body_->setSpacing(6);
    outer->addWidget(bodyPanel_, 1);

    softKeys_ = new SoftKeyBar(this);
    outer->addWidget(softKeys_);
    connect(softKeys_->left(), &QPushButton::clicked, this, [this] { leftKey(); });
    connect(softKeys_->right(), &QPushButton::clicked, this, [this] { rightKey(); });
    auto press = [](QPushButton* key) {
        if (key->isVisible() && key->isEnabled()) key->click();
    };
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this, press] { press(softKeys_->left()); });
    connect(new QShortcut(QKeySequence(Qt::Key_F2), this), &QShortcut::activated, this,
            [this, press] { press(softKeys_->right()); });
}

ImageButton* ScreenDialog::addHeaderButton(int image, const QString& name, const QString& accessibleName) {
    auto* button = new ImageButton(image, image, header_);
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setSizeHint({28, 28});
    button->setFixedSize(28, 28);
    headerLayout_->addWidget(button, 0, Qt::AlignVCenter);
    return button;
}

void ScreenDialog::addHeaderLogo() {
    auto* logo = new StretchStatic(kImageLogo, header_);
    logo->setFixedSize(26, 26);
    headerLayout_->insertWidget(0, logo, 0, Qt::AlignVCenter);
}

void ScreenDialog::leftKey() { reject(); }
void ScreenDialog::rightKey() { accept(); }

namespace {
// Qt sizes a message box for a desktop and wraps only very long texts; on the handheld screen
// every text wraps to the width the screen has.
class HandheldMessageBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        fit();
    }
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        // Qt sizes the box again whenever its layout asks; it is fitted again after that.
        if (event->type() == QEvent::LayoutRequest && isVisible()) fit();
        return handled;
    }

  private:
    void fit() {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label == nullptr || width() <= kWidth) return;
        label->setWordWrap(true);
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setFixedSize(kWidth, layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(kWidth)
                                                           : sizeHint().height());
    }

    static constexpr int kWidth = theme::kScreenSize.width() - 20;
};
}  // namespace

namespace {
HandheldMessageBox* messageBox(QWidget* parent, const QString& text) {
    auto* box = new HandheldMessageBox(QMessageBox::Information, uiText(StringId::Title), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("message"));
    const qreal dpr = parent != nullptr ? parent->devicePixelRatioF() : qApp->devicePixelRatio();
    box->setIconPixmap(programImage(kImageLogo, QSize(34, 34), dpr));
    return box;
}
}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    std::unique_ptr<HandheldMessageBox> box(messageBox(parent, text));
    box->exec();
}

QWidget* showNotice(QWidget* parent, const QString& text) {
    HandheldMessageBox* box = messageBox(parent, text);
    box->setObjectName(QStringLiteral("notice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The screen under it keeps the keys: Cancel must still reach the run.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setModal(false);
    box->show();
    return box;
}

bool askConfirmation(QWidget* parent, const QString& text) {
    HandheldMessageBox box(QMessageBox::Question, uiText(StringId::Title), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("confirm"));
    QPushButton* yes = box.addButton(uiText(StringId::Yes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(uiText(StringId::No), QMessageBox::NoRole);
    yes->setObjectName(QStringLiteral("yes"));
    no->setObjectName(QStringLiteral("no"));
    // What deletes is never the default answer.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    const qreal dpr = parent != nullptr ? parent->devicePixelRatioF() : qApp->devicePixelRatio();
    box.setIconPixmap(programImage(kImageLogo, QSize(34, 34), dpr));
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace orvale::ui
