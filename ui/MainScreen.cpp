#include "ui/MainScreen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "app/ClientApp.h"
#include "app/LastRunCounts.h"
#include "stores/KindCode.h"
#include "ui/AboutScreen.h"
#include "ui/Images.h"
#include "ui/RegisteredWindow.h"
#include "ui/RunBridge.h"
#include "ui/SettingsScreen.h"
#include "ui/SetupSequence.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/DrawCallback.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/StaticEx.h"

namespace orvale::ui {

MainScreen::MainScreen(ScreenContext& context, QWidget* parent)
    : ScreenDialog(QStringLiteral("main"), QString::fromStdU16String(std::u16string(kMainWindowCaption)), parent),
      context_(context) {
    addHeaderLogo();

    counts_ = new DrawCallback(bodyPanel());
    counts_->setObjectName(QStringLiteral("counts"));
    counts_->setHeadings(uiText(StringId::Changes), uiText(StringId::Received), uiText(StringId::Sent));
    const StringId names[] = {StringId::Contacts, StringId::Calendar, StringId::Tasks};
    for (int row = 0; row < DrawCallback::kRows; ++row) counts_->setRowName(row, uiText(names[row]));
    body()->addWidget(counts_);
    body()->addStretch(1);

    syncButton_ = new ImageButton(kImageSync, kImageSyncPressed, bodyPanel());
    syncButton_->setObjectName(QStringLiteral("sync"));
    syncButton_->setText(uiText(StringId::Sync));
    syncButton_->setFont(theme::font(theme::Size::Title, true));
    syncButton_->setFixedSize(132, 42);
    body()->addWidget(syncButton_, 0, Qt::AlignHCenter);
    connect(syncButton_, &QAbstractButton::clicked, this, [this] { startSync(); });
    body()->addSpacing(6);

    status_ = new StaticEx({}, theme::kInk, theme::Size::Body, true, bodyPanel());
    status_->setObjectName(QStringLiteral("status"));
    status_->setAlignment(Qt::AlignCenter);
    status_->setMinimumHeight(20);
    body()->addWidget(status_);
    cause_ = new StaticEx({}, theme::kInk, theme::Size::Small, false, bodyPanel());
    cause_->setObjectName(QStringLiteral("cause"));
    cause_->setWordWrap(true);
    cause_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // On the smallest screen the cause gets the room that is left rather than pushing the controls
    // over each other; what does not fit is in the run's log.
    cause_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    cause_->hide();
    body()->addWidget(cause_, 3);
    lastSync_ = new StaticEx({}, theme::kMuted, theme::Size::Small, false, bodyPanel());
    lastSync_->setObjectName(QStringLiteral("lastSync"));
    lastSync_->setAlignment(Qt::AlignCenter);
    lastSync_->setMinimumHeight(16);
    body()->addWidget(lastSync_);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("menu"));
    menu_->setFont(theme::font(theme::Size::Body, true));
    menu_->addAction(uiText(StringId::About), this, [this] { openAbout(); });
    menu_->addAction(uiText(StringId::Settings), this, [this] { openSettings(); });
    menu_->addSeparator();
    menu_->addAction(uiText(StringId::Exit), this, [this] { close(); });

    softKeys()->setKeys({}, {});
    setFocusProxy(syncButton_);
    // Listed at once, so the End key and a second start find it even while setup runs.
    registered_ = std::make_unique<RegisteredWindow>(*this, kMainWindowCaption);
}

MainScreen::~MainScreen() {
    if (control_) control_->cancel();
    worker_.join();
}

bool MainScreen::openScreen() {
    record_.load();
    if (!record_.flag(ConfigFlag::SetupDone) && !runSetupPages(*this, record_, context_)) return false;
    if (closing_) return false;
    const std::u16string last = record_.text(ConfigText::LastSyncText);
    if (!last.empty()) {
        showLastSync(uiText(StringId::LastSyncPrefix) + QString::fromStdU16String(last));
        // The counts of that run, as the screen showed them when it ended.
        if (const auto counts = loadLastRunCounts()) {
            for (const int code : {kKindContacts, kKindCalendar, kKindTasks}) {
                reportCount(code, 0, counts->of(code).sent);
                reportCount(code, 1, counts->of(code).received);
            }
        }
    }
    setShownFolders(record_.flag(ConfigFlag::ContactsEnabled), record_.flag(ConfigFlag::CalendarEnabled),
                    record_.flag(ConfigFlag::TasksEnabled));
    showIdleKeys();
    // Also the one save after setup: unsaved, setup would come back at the next start.
    if (!record_.save()) showMessage(this, uiText(StringId::SaveFailed));
    return true;
}

void MainScreen::showStatus(const QString& text) {
    status_->setText(text);
    status_->repaint();
}

void MainScreen::showCause(const QString& text) {
    cause_->setText(text);
    cause_->setToolTip(text);
    cause_->setVisible(!text.isEmpty());
}

void MainScreen::reportCount(int folderCode, int direction, int value) {
    const int row = kindSlot(folderCode);
    if (row < 0 || direction < 0 || direction > 1) return;
    const auto column = direction == 0 ? DrawCallback::Sent : DrawCallback::Received;
    if (value > counts_->count(row, column)) counts_->setCount(row, column, value);
}

void MainScreen::resetProgress() {
    counts_->clearCounts();
    status_->clear();
    showCause({});
}

void MainScreen::setShownFolders(bool contacts, bool calendar, bool tasks) {
    counts_->setShown(0, contacts);
    counts_->setShown(1, calendar);
    counts_->setShown(2, tasks);
}

void MainScreen::showLastSync(const QString& text) { lastSync_->setText(text); }

void MainScreen::startSync() {
    if (running_ || closing_) return;
    running_ = true;
    softKeys()->setKeys(uiText(StringId::Cancel), {});
    syncButton_->setEnabled(false);
    repaint();
    if (worker_.busy()) {
        pendingStart_ = true;  // the cancelled run is still winding down
        return;
    }
    launchRun();
}

void MainScreen::launchRun() {
    const int generation = ++generation_;
    control_ = std::make_shared<RunControl>();
    bridge_ = std::make_unique<RunBridge>();
    RunBridge* bridge = bridge_.get();
    auto current = [this, generation] { return generation == generation_; };
    connect(bridge, &RunBridge::statusShown, this, [this, current](const QString& t) { if (current()) showStatus(t); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::countReported, this,
            [this, current](int code, int direction, int value) { if (current()) reportCount(code, direction, value); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::progressReset, this, [this, current] { if (current()) resetProgress(); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::foldersShown, this,
            [this, current](bool c, bool cal, bool t) { if (current()) setShownFolders(c, cal, t); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::warningShown, this, [this, current](const QString& t) { if (current()) showNotice(this, t); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::causeShown, this, [this, current](const QString& t) { if (current()) showCause(t); },
            Qt::QueuedConnection);
    connect(bridge, &RunBridge::lastSyncShown, this, [this, current](const QString& t) { if (current()) showLastSync(t); },
            Qt::QueuedConnection);
    worker_.start(
        this,
        [this, bridge, control = control_, env = context_.runs] { interactiveRun(keepAwake_, *bridge, *control, env); },
        [this, current] {
            if (current()) return runEnded();
            if (pendingStart_) {
                pendingStart_ = false;
                launchRun();
            }
        });
}

void MainScreen::runEnded() {
    running_ = false;
    showIdleKeys();
    repaint();
}

void MainScreen::cancelSync() {
    if (!running_) return;
    if (control_) control_->cancel();
    ++generation_;
    running_ = false;
    pendingStart_ = false;
    showMessage(this, uiText(StringId::SyncCancelled));
    // Then, as the run's end and its cancellation would have told the screen:
    showIdleKeys();
    showStatus(uiText(StringId::Cancelled));
}

void MainScreen::showIdleKeys() {
    softKeys()->setKeys(uiText(StringId::Sync), uiText(StringId::Menu));
    syncButton_->setEnabled(true);
}

void MainScreen::leftKey() {
    if (running_) {
        cancelSync();
    } else {
        startSync();
    }
}

void MainScreen::rightKey() {
    if (running_) return;
    FocusButton* key = softKeys()->right();
    const QSize size = menu_->sizeHint();
    menu_->popup(key->mapToGlobal(QPoint(key->width() - size.width(), -size.height())));
}

void MainScreen::openSettings() {
    if (running_ || closing_) return;
    // A cancelled run may still be finishing; the settings must not change the record under it.
    worker_.join();
    SettingsScreen settings(record_, context_, this);
    settings.exec();
    setShownFolders(record_.flag(ConfigFlag::ContactsEnabled), record_.flag(ConfigFlag::CalendarEnabled),
                    record_.flag(ConfigFlag::TasksEnabled));
}

void MainScreen::openAbout() {
    if (closing_) return;
    AboutScreen about(this);
    about.exec();
}

void MainScreen::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();  // the back key does not end the program; Exit and the End key do
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (focusWidget() == syncButton_) {
                syncButton_->click();
                event->accept();
                return;
            }
            break;
        default: break;
    }
    ScreenDialog::keyPressEvent(event);
}

void MainScreen::closeEvent(QCloseEvent* event) {
    done(QDialog::Rejected);
    event->accept();
}

void MainScreen::done(int result) {
    closing_ = true;
    pendingStart_ = false;
    if (control_) control_->cancel();
    menu_->hide();
    // Every screen above this one ends with it, innermost first as their loops unwind.
    for (QDialog* child : findChildren<QDialog*>()) {
        if (child->isVisible()) child->reject();
    }
    worker_.join();
    ScreenDialog::done(result);
}

}  // namespace orvale::ui
