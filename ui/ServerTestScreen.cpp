#include "ui/ServerTestScreen.h"

#include <QApplication>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "ui/BusyIndicator.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/StaticEx.h"

namespace orvale::ui {

ServerTestScreen::ServerTestScreen(ConfigRecord& record, ScreenContext& context, QWidget* parent)
    : ScreenDialog(QStringLiteral("servertest"), uiText(StringId::TestServer), parent), record_(record), context_(context) {
    body()->addSpacing(8);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = new StaticEx({}, i == 0 ? theme::kNavy : theme::kInk, theme::Size::Body, i == 0, bodyPanel());
        lines_[i]->setObjectName(QStringLiteral("line%1").arg(i + 1));
        lines_[i]->setWordWrap(true);
        lines_[i]->setMinimumHeight(20);
        body()->addWidget(lines_[i]);
    }
    warning_ = new StaticEx({}, theme::kBad, theme::Size::Small, false, bodyPanel());
    warning_->setObjectName(QStringLiteral("warning"));
    warning_->setWordWrap(true);
    body()->addWidget(warning_);
    body()->addSpacing(4);
    databases_ = new StaticEx({}, theme::kInk, theme::Size::Small, false, bodyPanel());
    databases_->setObjectName(QStringLiteral("databases"));
    databases_->setWordWrap(true);
    body()->addWidget(databases_);
    body()->addSpacing(6);
    spinner_ = new BusyIndicator(bodyPanel());
    body()->addWidget(spinner_, 0, Qt::AlignHCenter);
    body()->addStretch(1);
    again_ = new FocusButton(uiText(StringId::TestServer), bodyPanel());
    again_->setObjectName(QStringLiteral("testServer"));
    again_->setProperty("role", QStringLiteral("action"));
    again_->setAutoDefault(false);
    body()->addWidget(again_, 0, Qt::AlignHCenter);
    connect(again_, &QPushButton::clicked, this, [this] { runTest(); });

    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::Next));
    softKeys()->right()->setDefault(true);
    lines_[0]->setText(uiText(StringId::TestingServer));
    // The screen is drawn before the test begins.
    start_.start(kStartDelayMs, this);
}

ServerTestScreen::~ServerTestScreen() {
    if (control_) control_->cancel();
    worker_.join();
    if (spinner_->running()) QApplication::restoreOverrideCursor();
}

void ServerTestScreen::timerEvent(QTimerEvent* event) {
    if (event->timerId() != start_.timerId()) return ScreenDialog::timerEvent(event);
    start_.stop();
    runTest();
}

void ServerTestScreen::runTest() {
    if (worker_.busy()) return;
    start_.stop();
    lines_[0]->setText(uiText(StringId::TestingServer));
    lines_[0]->setColors(theme::kNavy);
    lines_[1]->clear();
    lines_[2]->clear();
    databases_->clear();
    warning_->clear();
    setBusy(true);
    control_ = std::make_shared<RunControl>();
    outcome_ = std::make_shared<ServerTestOutcome>();
    worker_.start(
        this,
        [record = &record_, env = context_.runs, control = control_, outcome = outcome_] {
            *outcome = runServerTest(*record, env, control.get());
        },
        [this, outcome = outcome_] {
            setBusy(false);
            showOutcome(*outcome);
        });
}

void ServerTestScreen::setBusy(bool busy) {
    if (busy == spinner_->running()) return;
    spinner_->setRunning(busy);
    again_->setEnabled(!busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void ServerTestScreen::showOutcome(const ServerTestOutcome& outcome) {
    for (std::size_t i = 0; i < lines_.size(); ++i) lines_[i]->setText(QString::fromStdU16String(outcome.lines[i]));
    QString found;
    for (const std::u16string& d : outcome.databases) found += QStringLiteral("\n") + QString::fromStdU16String(d);
    warning_->setText(QString::fromStdU16String(outcome.warning));
    databases_->setText(found.isEmpty() ? QString() : uiText(StringId::ServerDatabases) + found);
    const bool good = outcome.result == SyncResult::Done;
    lines_[0]->setColors(good ? theme::kGood : theme::kBad);
}

void ServerTestScreen::done(int result) {
    start_.stop();
    if (worker_.busy()) {
        control_->cancel();
        worker_.join();
        setBusy(false);
    }
    ScreenDialog::done(result);
}

}  // namespace orvale::ui
