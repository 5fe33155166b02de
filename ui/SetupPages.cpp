#include "ui/SetupPages.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/SettingsCheck.h"
#include "platform/DecimalText.h"
#include "ui/FormRows.h"
#include "ui/Images.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/controls/EditEx.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/ImageButton.h"
#include "ui/controls/StaticEx.h"
#include "ui/controls/UnitPicker.h"

namespace orvale::ui {

namespace {
constexpr int kPickerRowHeight = 30;

QString textOf(const ConfigRecord& r, ConfigText field) { return QString::fromStdU16String(r.text(field)); }
std::u16string wide(const EditEx* field) { return field->text().toStdU16String(); }
}  // namespace

QString urlFieldText(const ConfigRecord& record) {
    const QString url = textOf(record, ConfigText::ServerUrl);
    return url.isEmpty() ? uiText(StringId::EmptyUrl) : url;
}

CredentialsPage::CredentialsPage(ConfigRecord& record, QWidget* parent)
    : ScreenDialog(QStringLiteral("credentials"), uiText(StringId::Title), parent), record_(record) {
    connect(addHeaderButton(kImageNext, QStringLiteral("header.next"), uiText(StringId::Next)), &QAbstractButton::clicked,
            this, [this] { rightKey(); });
    body()->setSpacing(3);
    url_ = addField(body(), bodyPanel(), uiText(StringId::Url), QStringLiteral("url"), urlFieldText(record),
                    ConfigText::ServerUrl);
    user_ = addField(body(), bodyPanel(), uiText(StringId::Username), QStringLiteral("username"),
                     textOf(record, ConfigText::UserName), ConfigText::UserName);
    password_ = addField(body(), bodyPanel(), uiText(StringId::Password), QStringLiteral("password"),
                         textOf(record, ConfigText::Password), ConfigText::Password);
    password_->setEchoMode(QLineEdit::Password);
    body()->addSpacing(4);
    autosync_ = addCheck(body(), bodyPanel(), uiText(StringId::Autosync), QStringLiteral("autosync"),
                         record.flag(ConfigFlag::AutosyncEnabled));

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    auto* every = new StaticEx(uiText(StringId::Every), theme::kInk, theme::Size::Body, true, bodyPanel());
    row->addWidget(every);
    const std::int32_t n = record.number(ConfigNumber::AutosyncInterval);
    every_ = numberField(bodyPanel(), QStringLiteral("every"), QString::number(n > 0 ? n : 1), 4);
    every->setBuddy(every_);
    row->addWidget(every_);
    unit_ = new UnitPicker(this, bodyPanel());
    unit_->setObjectName(QStringLiteral("unit"));
    unit_->setRowHeight(kPickerRowHeight);
    unit_->setCurrentRow(record.number(ConfigNumber::AutosyncUnit));
    row->addWidget(unit_, 1);
    body()->addLayout(row);
    body()->addStretch(1);

    softKeys()->setKeys(uiText(StringId::Exit), uiText(StringId::Next));
    softKeys()->right()->setDefault(true);
    url_->setFocus();
}

void CredentialsPage::rightKey() {
    if (url_->text().isEmpty() || user_->text().isEmpty() || password_->text().isEmpty()) {
        showMessage(this, uiText(StringId::EnterCredentials));
        return;
    }
    if (const auto problem = serverUrlProblem(wide(url_))) {
        showMessage(this, uiText(*problem));
        url_->setFocus();
        return;
    }
    record_.setText(ConfigText::ServerUrl, wide(url_));
    record_.setText(ConfigText::UserName, wide(user_));
    record_.setText(ConfigText::Password, wide(password_));
    record_.setFlag(ConfigFlag::AutosyncEnabled, autosync_->isChecked());
    record_.setNumber(ConfigNumber::AutosyncUnit, unit_->currentRow() < 0 ? 0 : unit_->currentRow());
    record_.setNumber(ConfigNumber::AutosyncInterval, platform::leadingDecimal(wide(every_)));
    accept();
}

FolderUrisPage::FolderUrisPage(ConfigRecord& record, QWidget* parent)
    : ScreenDialog(QStringLiteral("folderuris"), uiText(StringId::Title), parent), record_(record) {
    addHeading(body(), bodyPanel(), uiText(StringId::DatabaseUri));
    contacts_ = addField(body(), bodyPanel(), uiText(StringId::Contacts), QStringLiteral("uri.contacts"),
                         textOf(record, ConfigText::ContactsUri), ConfigText::ContactsUri);
    tasks_ = addField(body(), bodyPanel(), uiText(StringId::Tasks), QStringLiteral("uri.tasks"),
                      textOf(record, ConfigText::TasksUri), ConfigText::TasksUri);
    calendar_ = addField(body(), bodyPanel(), uiText(StringId::Calendar), QStringLiteral("uri.calendar"),
                         textOf(record, ConfigText::CalendarUri), ConfigText::CalendarUri);
    body()->addStretch(1);
    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::Next));
    softKeys()->right()->setDefault(true);
    contacts_->setFocus();
}

void FolderUrisPage::rightKey() {
    if (contacts_->text().isEmpty() && tasks_->text().isEmpty() && calendar_->text().isEmpty()) {
        showMessage(this, uiText(StringId::EnterFolderUri));
        return;
    }
    record_.setText(ConfigText::ContactsUri, wide(contacts_));
    record_.setText(ConfigText::TasksUri, wide(tasks_));
    record_.setText(ConfigText::CalendarUri, wide(calendar_));
    accept();
}

FoldersPage::FoldersPage(ConfigRecord& record, QWidget* parent)
    : ScreenDialog(QStringLiteral("folders"), uiText(StringId::Title), parent), record_(record) {
    addHeading(body(), bodyPanel(), uiText(StringId::WantToSync));
    body()->addSpacing(4);
    // A folder that has its database on the server (found by the server test, or typed on the page
    // before) starts ticked: that is what the user came to sync.
    auto offered = [&record](ConfigFlag on, ConfigText uri) { return record.flag(on) || !record.text(uri).empty(); };
    contacts_ = addCheck(body(), bodyPanel(), uiText(StringId::Contacts), QStringLiteral("folder.contacts"),
                         offered(ConfigFlag::ContactsEnabled, ConfigText::ContactsUri));
    tasks_ = addCheck(body(), bodyPanel(), uiText(StringId::Tasks), QStringLiteral("folder.tasks"),
                      offered(ConfigFlag::TasksEnabled, ConfigText::TasksUri));
    calendar_ = addCheck(body(), bodyPanel(), uiText(StringId::Calendar), QStringLiteral("folder.calendar"),
                         offered(ConfigFlag::CalendarEnabled, ConfigText::CalendarUri));
    body()->addStretch(1);
    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::Done));
    softKeys()->right()->setDefault(true);
    contacts_->setFocus();
}

void FoldersPage::rightKey() {
    // A box only ever switches its folder on here; the settings switch folders off.
    if (contacts_->isChecked()) record_.setFlag(ConfigFlag::ContactsEnabled, true);
    if (tasks_->isChecked()) record_.setFlag(ConfigFlag::TasksEnabled, true);
    if (calendar_->isChecked()) record_.setFlag(ConfigFlag::CalendarEnabled, true);
    if (!record_.flag(ConfigFlag::ContactsEnabled) && !record_.flag(ConfigFlag::TasksEnabled) &&
        !record_.flag(ConfigFlag::CalendarEnabled)) {
        showMessage(this, uiText(StringId::CheckFolder));
        return;
    }
    accept();
}

}  // namespace orvale::ui
