#include "ui/automation/UiScript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimerEvent>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace orvale::ui {

namespace {
constexpr int kTickMs = 25;

QWidget* topScreen() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QWidget* named(const QString& name) {
    QWidget* screen = topScreen();
    if (screen == nullptr) return nullptr;
    if (screen->objectName() == name) return screen;
    const auto all = screen->findChildren<QWidget*>(name);
    for (QWidget* w : all) {
        if (w->isVisible()) return w;
    }
    return all.isEmpty() ? nullptr : all.first();
}

QString shownText(QWidget* w) {
    if (auto* box = qobject_cast<QMessageBox*>(w)) return box->text();
    if (auto* check = qobject_cast<QCheckBox*>(w)) return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->echoMode() == QLineEdit::Normal ? edit->text() : QString(edit->text().size(), QLatin1Char('*'));
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) return plain->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    if (QWidget* proxy = w->focusProxy()) return shownText(proxy);
    return w->accessibleDescription();
}

void sendKeys(const QString& keys) {
    const QKeySequence sequence(keys);
    if (sequence.isEmpty()) return;
    const QKeyCombination combination = sequence[0];
    QWidget* target = QApplication::activePopupWidget();
    if (target == nullptr) target = QApplication::focusWidget();
    if (target == nullptr) target = topScreen();
    if (target == nullptr) return;
    const Qt::Key key = combination.key();
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    const QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    // The press may have closed the screen the key went to; the release then goes to what is there.
    QWidget* after = guard ? guard.data() : QApplication::focusWidget();
    if (after != nullptr) QCoreApplication::sendEvent(after, &release);
}

void typeText(const QString& text) {
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr) return;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &release);
    }
}

void click(QWidget* w) {
    const QPointF local = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(local);
    QPointer<QWidget> guard(w);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    if (!guard) return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

void print(FILE* out, const QStringList& lines) {
    for (const QString& line : lines) std::fprintf(out, "%s\n", line.toUtf8().constData());
    std::fflush(out);
}
}  // namespace

std::unique_ptr<QObject> UiScript::start(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "ui-script: cannot read %s\n", path);
        ::_exit(3);
    }
    return std::unique_ptr<QObject>(new UiScript(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))));
}

UiScript::UiScript(QStringList lines) : lines_(std::move(lines)) { timer_ = startTimer(kTickMs); }

QStringList UiScript::describe(QWidget* screen) {
    QStringList out;
    if (screen == nullptr) return out;
    out << QStringLiteral("screen=") + screen->objectName();
    if (auto* box = qobject_cast<QMessageBox*>(screen)) out << QStringLiteral("text=") + box->text();
    for (QWidget* w : screen->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) || !w->isVisible()) continue;
        out << w->objectName() + QLatin1Char('=') + shownText(w);
    }
    return out;
}

void UiScript::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_) return QObject::timerEvent(event);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (pending_ || now < sleepUntil_) return;
    while (next_ < lines_.size()) {
        const QString line = lines_[next_].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            ++next_;
            continue;
        }
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        const QString command = space < 0 ? line : line.left(space);
        const QString argument = space < 0 ? QString() : line.mid(space + 1);
        if (!ready(command, argument)) {
            if (waitSince_ < 0) waitSince_ = now;
            if (now - waitSince_ > timeoutMs_) fail(QStringLiteral("timed out: ") + line);
            return;
        }
        waitSince_ = -1;
        // Carried out from the event loop rather than inside this timer's handler: the command may
        // open a screen whose own loop must go on playing the script, and a timer does not fire
        // while its handler runs.
        ++next_;
        pending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this, command, argument] {
                pending_ = false;
                execute(command, argument);
            },
            Qt::QueuedConnection);
        return;
    }
    killTimer(timer_);
    timer_ = 0;
}

bool UiScript::ready(const QString& command, const QString& argument) {
    if (command == QLatin1String("wait")) {
        QWidget* screen = topScreen();
        return screen != nullptr && screen->isVisible() && screen->objectName() == argument;
    }
    if (command == QLatin1String("waittext")) {
        const qsizetype space = argument.indexOf(QLatin1Char(' '));
        QWidget* w = named(space < 0 ? argument : argument.left(space));
        return w != nullptr && shownText(w) == (space < 0 ? QString() : argument.mid(space + 1));
    }
    if (command == QLatin1String("focus") || command == QLatin1String("click")) return named(argument) != nullptr;
    return true;
}

void UiScript::execute(const QString& command, const QString& argument) {
    if (command == QLatin1String("focus") || command == QLatin1String("click")) {
        // It was there when the line was read; the screen may have changed before this turn came.
        QWidget* target = named(argument);
        if (target == nullptr) {
            fail(QStringLiteral("gone before it could be used: ") + command + QLatin1Char(' ') + argument);
        } else if (command == QLatin1String("focus")) {
            target->setFocus(Qt::OtherFocusReason);
        } else {
            click(target);
        }
    } else if (command == QLatin1String("type")) {
        typeText(argument);
    } else if (command == QLatin1String("key")) {
        sendKeys(argument);
    } else if (command == QLatin1String("sleep")) {
        sleepUntil_ = QDateTime::currentMSecsSinceEpoch() + argument.toLongLong();
    } else if (command == QLatin1String("timeout")) {
        timeoutMs_ = argument.toLongLong() * 1000;
    } else if (command == QLatin1String("dump")) {
        print(stdout, describe(topScreen()));
    } else if (command != QLatin1String("wait") && command != QLatin1String("waittext")) {
        fail(QStringLiteral("unknown command: ") + command);
    }
}

void UiScript::fail(const QString& why) {
    std::fprintf(stderr, "ui-script: %s\n", why.toUtf8().constData());
    print(stderr, describe(topScreen()));
    ::_exit(3);
}

}  // namespace orvale::ui
