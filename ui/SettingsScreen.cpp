#include "ui/SettingsScreen.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/SettingsCheck.h"
#include "app/SlowSync.h"
#include "platform/pim/StoreChoice.h"
#include "stores/KindCode.h"
#include "stores/NextSync.h"
#include "ui/AboutScreen.h"
#include "ui/FormRows.h"
#include "ui/Images.h"
#include "ui/LogViewer.h"
#include "ui/NextSyncScreen.h"
#include "ui/ServerTestScreen.h"
#include "ui/SetupPages.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/BgStatic.h"
#include "ui/controls/EditEx.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/Notification.h"
#include "ui/controls/StaticEx.h"
#include "ui/controls/UnitPicker.h"

namespace orvale::ui {

namespace {
constexpr int kPickerRowHeight = 30;
constexpr int kScrollMargin = 12;

QString textOf(const ConfigRecord& r, ConfigText field) { return QString::fromStdU16String(r.text(field)); }
std::u16string wide(const EditEx* field) { return field->text().toStdU16String(); }

FocusButton* actionButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new FocusButton(text, parent);
    button->setObjectName(name);
    button->setProperty("role", QStringLiteral("action"));
    button->setAutoDefault(false);
    return button;
}

// A label on the left, a short number field on the right.
EditEx* numberRow(QBoxLayout* layout, QWidget* parent, const QString& label, const QString& name, const QString& value) {
    auto* row = new QHBoxLayout;
    auto* caption = new StaticEx(label, theme::kInk, theme::Size::Small, true, parent);
    row->addWidget(caption, 1);
    EditEx* field = numberField(parent, name, value, 5);
    field->setAccessibleName(label);
    caption->setBuddy(field);
    row->addWidget(field);
    layout->addLayout(row);
    return field;
}

void rule(QBoxLayout* layout, QWidget* parent) {
    layout->addSpacing(6);
    auto* line = new BgStatic(theme::kLine, parent);
    line->setFixedHeight(1);
    layout->addWidget(line);
}
}  // namespace

SettingsScreen::SettingsScreen(ConfigRecord& record, ScreenContext& context, QWidget* parent)
    : ScreenDialog(QStringLiteral("settings"), uiText(StringId::Settings), parent), record_(record), context_(context) {
    connect(addHeaderButton(kImageInfo, QStringLiteral("header.about"), uiText(StringId::About)), &QAbstractButton::clicked,
            this, [this] { openAbout(); });
    body()->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(bodyPanel());
    scroll_->setObjectName(QStringLiteral("scroll"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll_->setWidget(buildPage());
    body()->addWidget(scroll_);
    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::Done));
    softKeys()->right()->setDefault(true);
    url_->setFocus();
}

QWidget* SettingsScreen::buildPage() {
    page_ = new BgStatic(theme::kPaper);
    page_->setObjectName(QStringLiteral("page"));
    auto* l = new QVBoxLayout(page_);
    l->setContentsMargins(theme::kMargin, 6, theme::kMargin + 4, theme::kMargin);
    l->setSpacing(3);
    // Every control as the record has it; Done writes them back in the same terms.
    const SettingsInput r = settingsInputFromRecord(record_);
    auto q = [](const std::u16string& text) { return QString::fromStdU16String(text); };

    addHeading(l, page_, uiText(StringId::GroupServer));
    url_ = addField(l, page_, uiText(StringId::Url), QStringLiteral("url"), urlFieldText(record_),
                    ConfigText::ServerUrl);
    user_ = addField(l, page_, uiText(StringId::Username), QStringLiteral("username"), q(r.userName),
                     ConfigText::UserName);
    password_ = addField(l, page_, uiText(StringId::Password), QStringLiteral("password"), q(r.password),
                         ConfigText::Password);
    password_->setEchoMode(QLineEdit::Password);
    l->addSpacing(4);
    FocusButton* test = actionButton(uiText(StringId::TestServer), QStringLiteral("testServer"), page_);
    l->addWidget(test, 0, Qt::AlignLeft);
    connect(test, &QPushButton::clicked, this, [this] { testServer(); });

    rule(l, page_);
    addHeading(l, page_, uiText(StringId::GroupFolders));
    contacts_ = addCheck(l, page_, uiText(StringId::Contacts), QStringLiteral("contacts"), r.contacts);
    contactsUri_ = addField(l, page_, uiText(StringId::Folder), QStringLiteral("uri.contacts"), q(r.contactsUri),
                            ConfigText::ContactsUri);
    tasks_ = addCheck(l, page_, uiText(StringId::Tasks), QStringLiteral("tasks"), r.tasks);
    tasksUri_ = addField(l, page_, uiText(StringId::Folder), QStringLiteral("uri.tasks"), q(r.tasksUri),
                         ConfigText::TasksUri);
    calendar_ = addCheck(l, page_, uiText(StringId::Calendar), QStringLiteral("calendar"), r.calendar);
    calendarUri_ = addField(l, page_, uiText(StringId::Folder), QStringLiteral("uri.calendar"), q(r.calendarUri),
                            ConfigText::CalendarUri);
    l->addSpacing(4);
    auto* nextRow = new QHBoxLayout;
    FocusButton* next = actionButton(uiText(StringId::NextSyncButton), QStringLiteral("nextSync"), page_);
    nextRow->addWidget(next);
    connect(next, &QPushButton::clicked, this, [this] { chooseNextSync(); });
    nextSyncState_ = new StaticEx(QString(), theme::kInk, theme::Size::Small, false, page_);
    nextSyncState_->setObjectName(QStringLiteral("nextSyncState"));
    nextSyncState_->setWordWrap(true);
    nextRow->addWidget(nextSyncState_, 1);
    l->addLayout(nextRow);
    showNextSync();
    // The line names the next sync of the folders ticked now.
    for (QCheckBox* box : {contacts_, tasks_, calendar_}) connect(box, &QCheckBox::toggled, this, [this] { showNextSync(); });
    // Which store the folders are synced with; orvale-config set store= changes it.
    const auto store = platform::pim::StoreChoice::load();
    auto* storeState = new StaticEx(uiText(StringId::StoreIs) +
                                        uiText(!store ? StringId::StoreUnreadable
                                               : store->kind == platform::pim::StoreChoice::Kind::Eds ? StringId::StoreEds
                                                                                                       : StringId::StoreOwn),
                                    theme::kInk, theme::Size::Small, false, page_);
    storeState->setObjectName(QStringLiteral("storeState"));
    storeState->setWordWrap(true);
    l->addWidget(storeState);

    rule(l, page_);
    addHeading(l, page_, uiText(StringId::GroupCalendar));
    range_ = addCheck(l, page_, uiText(StringId::SyncEventsBetween), QStringLiteral("range"), r.calendarRange);
    daysBack_ = numberRow(l, page_, uiText(StringId::DaysBefore), QStringLiteral("daysBack"), q(r.daysBackText));
    daysForward_ = numberRow(l, page_, uiText(StringId::DaysAfter), QStringLiteral("daysForward"), q(r.daysForwardText));

    rule(l, page_);
    addHeading(l, page_, uiText(StringId::GroupBackground));
    autosync_ = addCheck(l, page_, uiText(StringId::Autosync), QStringLiteral("autosync"), r.autosync);
    auto* every = new QHBoxLayout;
    every->setSpacing(6);
    auto* caption = new StaticEx(uiText(StringId::Every), theme::kInk, theme::Size::Body, true, page_);
    every->addWidget(caption);
    every_ = numberField(page_, QStringLiteral("every"), q(r.intervalText), 5);
    caption->setBuddy(every_);
    every->addWidget(every_);
    unit_ = new UnitPicker(page_, page_);
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setRowHeight(kPickerRowHeight);
    unit_->setCurrentRow(r.unitIndex);
    unit_->setOnOpened([this](QWidget* list) { scroll_->ensureWidgetVisible(list, 0, kScrollMargin); });
    every->addWidget(unit_, 1);
    l->addLayout(every);

    rule(l, page_);
    addHeading(l, page_, uiText(StringId::GroupLogging));
    auto* logRow = new QHBoxLayout;
    logging_ = new QCheckBox(uiText(StringId::EnableLogging), page_);
    logging_->setObjectName(QStringLiteral("logging"));
    logging_->setFont(theme::font(theme::Size::Body, true));
    logging_->setChecked(r.logging);
    logRow->addWidget(logging_, 1);
    FocusButton* view = actionButton(uiText(StringId::View), QStringLiteral("viewLog"), page_);
    logRow->addWidget(view);
    connect(view, &QPushButton::clicked, this, [this] { viewLog(); });
    l->addLayout(logRow);
    l->addStretch(1);
    return page_;
}

SettingsInput SettingsScreen::input() const {
    SettingsInput in;
    in.contacts = contacts_->isChecked();
    in.tasks = tasks_->isChecked();
    in.calendar = calendar_->isChecked();
    in.autosync = autosync_->isChecked();
    in.logging = logging_->isChecked();
    in.calendarRange = range_->isChecked();
    in.url = wide(url_);
    in.userName = wide(user_);
    in.password = wide(password_);
    in.contactsUri = wide(contactsUri_);
    in.tasksUri = wide(tasksUri_);
    in.calendarUri = wide(calendarUri_);
    in.daysBackText = wide(daysBack_);
    in.daysForwardText = wide(daysForward_);
    in.intervalText = wide(every_);
    in.unitIndex = unit_->currentRow();
    return in;
}

void SettingsScreen::rightKey() {
    const SettingsInput typed = input();
    if (const auto problem = settingsProblem(typed)) {
        // Nothing is stored; the screen stays open with the field to mend in view.
        EditEx* field = *problem == StringId::IntervalOutOfRange ? every_
                        : *problem == StringId::UserNameMissing  ? user_
                                                                 : url_;
        showMessage(this, uiText(*problem));
        field->setFocus();
        scroll_->ensureWidgetVisible(field, 0, kScrollMargin);
        return;
    }
    SettingsEnvironment env = standardSettingsEnvironment(context_.mainProgram);
    env.scheduler = context_.scheduler;
    const auto before = record_.bytes();
    if (!saveSettings(record_, typed, env)) {
        // Nothing was written: the record goes back to what it was, so that Back still leaves it
        // unchanged, and the screen stays open with what was entered for another try.
        record_.bytes() = before;
        showMessage(this, uiText(StringId::SaveFailed));
        return;
    }
    // The settings are saved; a next sync that could not be kept leaves the screen open to try again.
    if (!keepNextSync()) return;
    accept();
}

void SettingsScreen::customEvent(QEvent* event) {
    if (event->type() != kNotifyFocused) return ScreenDialog::customEvent(event);
    event->accept();
    // Without a touch screen the page follows the focus by itself.
    if (context_.smartPhone) return;
    const QRect global = static_cast<ControlNotification*>(event)->screenRect();
    const QRect local(page_->mapFromGlobal(global.topLeft()), global.size());
    scroll_->ensureVisible(local.center().x(), local.center().y(), 0, local.height() / 2 + kScrollMargin);
}

std::vector<int> SettingsScreen::chosenKinds() const {
    std::vector<int> kinds;
    if (contacts_->isChecked()) kinds.push_back(kKindContacts);
    if (tasks_->isChecked()) kinds.push_back(kKindTasks);
    if (calendar_->isChecked()) kinds.push_back(kKindCalendar);
    return kinds;
}

void SettingsScreen::showNextSync() {
    QString text;
    if (nextSync_) {
        text = syncModeText(*nextSync_);
    } else {
        // As it stands: one way for every chosen folder, or each folder with its own.
        QStringList each;
        std::optional<SyncMode> common;
        bool mixed = false;
        for (const int kind : chosenKinds()) {
            const SyncMode mode = effectiveNextSync(kind);
            if (common && *common != mode) mixed = true;
            common = mode;
        }
        text = mixed ? uiText(StringId::NextSyncMixed) : syncModeText(common.value_or(SyncMode::TwoWay));
    }
    nextSyncState_->setText(uiText(StringId::NextSyncIs) + text);
}

void SettingsScreen::chooseNextSync() {
    const std::vector<int> kinds = chosenKinds();
    SyncMode current = nextSync_.value_or(SyncMode::TwoWay);
    if (!nextSync_ && !kinds.empty()) current = effectiveNextSync(kinds.front());
    NextSyncScreen choice(current, kinds, deviceFolderItemCount, this);
    if (choice.exec() != QDialog::Accepted) return;
    nextSync_ = choice.mode();
    showNextSync();
}

bool SettingsScreen::keepNextSync() {
    if (!nextSync_) return true;
    NextSyncChoice choice = NextSyncChoice::load();
    if (*nextSync_ == SyncMode::Slow) {
        // Every folder starts over, as the slow sync of the settings always did.
        for (const int kind : {kKindContacts, kKindTasks, kKindCalendar}) choice.set(kind, SyncMode::Slow);
        const bool ok = forgetSyncAnchors() && choice.save();
        showMessage(this, uiText(ok ? StringId::NextSyncSlow : StringId::SlowSyncFailed));
        if (ok) nextSync_.reset();
        return ok;
    }
    for (const int kind : chosenKinds()) choice.set(kind, *nextSync_);
    if (!choice.save()) {
        showMessage(this, uiText(StringId::NextSyncSaveFailed));
        return false;
    }
    nextSync_.reset();
    return true;
}

void SettingsScreen::testServer() {
    // The server and credentials on the screen are tested, typed or not yet saved, on a copy: the
    // record changes only with Done, and Back still leaves it as it was.
    ConfigRecord typed = record_;
    typed.setText(ConfigText::ServerUrl, wide(url_));
    typed.setText(ConfigText::UserName, wide(user_));
    typed.setText(ConfigText::Password, wide(password_));
    const auto before = typed.bytes();
    ServerTestScreen test(typed, context_, this);
    test.exec();
    // The folders the test found are kept by Done like anything typed here.
    if (typed.bytes() != before) fillUris(typed);
}

void SettingsScreen::fillUris(const ConfigRecord& found) {
    contactsUri_->setText(textOf(found, ConfigText::ContactsUri));
    tasksUri_->setText(textOf(found, ConfigText::TasksUri));
    calendarUri_->setText(textOf(found, ConfigText::CalendarUri));
}

void SettingsScreen::viewLog() {
    RunLogViewer viewer(this);
    viewer.exec();
}

void SettingsScreen::openAbout() {
    AboutScreen about(this);
    about.exec();
}

}  // namespace orvale::ui
