#include "support/ScreenKit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimerEvent>
#include <gtest/gtest.h>

namespace orvale::test {

ModalScript& ModalScript::then(const QString& screen, Act act) {
    steps_.push_back({screen, std::move(act)});
    return *this;
}

ModalScript& ModalScript::thenMessage() {
    return then(QStringLiteral("message"), [this](QWidget* screen) {
        auto* box = qobject_cast<QMessageBox*>(screen);
        messages_ << box->text();
        box->accept();
    });
}

void ModalScript::start() {
    timer_ = startTimer(10);
    stalled_.start();
}

void ModalScript::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_ || pending_ || done()) return;
    QWidget* top = QApplication::activeModalWidget();
    if (top == nullptr || !top->isVisible() || top->objectName() != steps_[next_].screen) {
        // A screen nobody expected would hold the test for ever: fail and unwind every loop.
        if (top != nullptr && stalled_.elapsed() > kPatienceMs) {
            ADD_FAILURE() << "waiting for " << steps_[next_].screen.toStdString() << ", showing "
                          << top->objectName().toStdString();
            next_ = steps_.size();
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QDialog*>(w); d != nullptr && d->isVisible()) d->reject();
            }
        }
        return;
    }
    stalled_.restart();
    Act act = steps_[next_++].act;
    pending_ = true;
    // Not from inside this handler: a timer does not fire again while its handler runs.
    QMetaObject::invokeMethod(
        this,
        [this, act, screen = QPointer<QWidget>(top)] {
            pending_ = false;
            if (!screen) return;
            visited_ << screen->objectName();
            act(screen);
        },
        Qt::QueuedConnection);
}

QWidget* child(QWidget* screen, const QString& name) {
    auto* w = screen->findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << "no control " << name.toStdString() << " on " << screen->objectName().toStdString();
    return w;
}

void click(QWidget* widget) {
    if (widget == nullptr) return;
    // A check box takes clicks on its box and its text, which sit at its left.
    const QPoint at = qobject_cast<QCheckBox*>(widget) ? QPoint(8, widget->height() / 2) : widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

void clickChild(QWidget* screen, const QString& name) { click(child(screen, name)); }

void typeInto(QWidget* screen, const QString& name, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(child(screen, name));
    if (edit == nullptr) return;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QString textOf(QWidget* screen, const QString& name) {
    QWidget* w = child(screen, name);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return {};
}

bool waitFor(const std::function<bool()>& condition, int ms) { return QTest::qWaitFor(condition, ms); }

QPixmap picture(QWidget* screen, QWidget* overlay) {
    // A text set just before is laid out by a posted request: the picture shows the screen as the
    // user sees it once that ran, not the lines of the text before.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QPixmap base = screen->grab();
    if (overlay == nullptr) return base;
    const QPixmap top = overlay->grab();
    QPainter p(&base);
    p.fillRect(QRect(QPoint(0, 0), base.deviceIndependentSize().toSize()), QColor(10, 20, 35, 110));
    const QPoint at = overlay->isWindow() && overlay->inherits("QMenu")
                          ? screen->mapFromGlobal(overlay->pos())
                          : QPoint((screen->width() - overlay->width()) / 2, (screen->height() - overlay->height()) / 2);
    p.drawPixmap(at, top);
    return base;
}

bool savePicture(const QPixmap& picture, const QString& folder, const QString& name) {
    QDir().mkpath(folder);
    return picture.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void keepPicture(QWidget* screen, const QString& name, QWidget* overlay) {
    QString folder = qEnvironmentVariable("ORVALE_SCREENSHOTS");
    if (folder.isEmpty()) folder = QStringLiteral(ORVALE_BINARY_DIR "/screenshots/tests");
    savePicture(picture(screen, overlay), folder, name);
}

}  // namespace orvale::test
