#include "ui/NextSyncScreen.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include "stores/KindCode.h"
#include "ui/SoftKeyBar.h"
#include "ui/Strings.h"
#include "ui/Theme.h"
#include "ui/controls/BgStatic.h"
#include "ui/controls/FocusButton.h"
#include "ui/controls/StaticEx.h"

namespace orvale::ui {

namespace {

struct ModeTexts {
    SyncMode mode;
    StringId name;
    StringId line;
    const char* objectName;
};
constexpr ModeTexts kModes[] = {
    {SyncMode::TwoWay, StringId::ModeTwoWay, StringId::ModeTwoWayLine, "mode.two-way"},
    {SyncMode::Slow, StringId::SlowSync, StringId::ModeSlowLine, "mode.slow"},
    {SyncMode::RefreshFromServer, StringId::ModeRefreshFromServer, StringId::ModeRefreshFromServerLine,
     "mode.refresh-from-server"},
    {SyncMode::RefreshFromDevice, StringId::ModeRefreshFromDevice, StringId::ModeRefreshFromDeviceLine,
     "mode.refresh-from-device"},
    {SyncMode::OneWayFromServer, StringId::ModeOneWayFromServer, StringId::ModeOneWayFromServerLine,
     "mode.one-way-from-server"},
    {SyncMode::OneWayFromDevice, StringId::ModeOneWayFromDevice, StringId::ModeOneWayFromDeviceLine,
     "mode.one-way-from-device"},
};

// A wrapped text that chooses its option when tapped.
class TapLabel : public StaticEx {
  public:
    TapLabel(const QString& text, theme::Size size, bool bold, std::function<void()> tapped, QWidget* parent)
        : StaticEx(text, theme::kInk, size, bold, parent), tapped_(std::move(tapped)) {
        setWordWrap(true);
    }

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        StaticEx::mouseReleaseEvent(event);
        tapped_();
    }

  private:
    std::function<void()> tapped_;
};

QString folderText(int kind) {
    return uiText(kind == kKindContacts ? StringId::Contacts : kind == kKindTasks ? StringId::Tasks : StringId::Calendar);
}

}  // namespace

QString syncModeText(SyncMode mode) {
    for (const ModeTexts& m : kModes)
        if (m.mode == mode) return uiText(m.name);
    return uiText(StringId::ModeTwoWay);
}

NextSyncScreen::NextSyncScreen(SyncMode current, std::vector<int> kinds, ItemCounter countItems, QWidget* parent)
    : ScreenDialog(QStringLiteral("nextSync"), uiText(StringId::NextSyncTitle), parent),
      kinds_(std::move(kinds)),
      countItems_(std::move(countItems)) {
    body()->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(bodyPanel());
    scroll->setObjectName(QStringLiteral("scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new BgStatic(theme::kPaper);
    auto* l = new QVBoxLayout(page);
    l->setContentsMargins(theme::kMargin, 6, theme::kMargin, theme::kMargin);
    l->setSpacing(6);
    for (const ModeTexts& m : kModes) {
        // The names are longer than a line of the screen: the button carries no text of its own,
        // the words beside it wrap, and a tap on them chooses too.
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        auto* option = new QRadioButton(page);
        option->setObjectName(QString::fromLatin1(m.objectName));
        option->setAccessibleName(uiText(m.name));
        option->setChecked(m.mode == current);
        row->addWidget(option, 0, Qt::AlignTop);
        auto* words = new QVBoxLayout;
        words->setSpacing(0);
        auto* name = new TapLabel(uiText(m.name), theme::Size::Body, true, [option] { option->setChecked(true); }, page);
        auto* line = new TapLabel(uiText(m.line), theme::Size::Small, false, [option] { option->setChecked(true); }, page);
        words->addWidget(name);
        words->addWidget(line);
        row->addLayout(words, 1);
        l->addLayout(row);
        options_.emplace_back(m.mode, option);
    }
    auto* hint = new StaticEx(uiText(StringId::NextSyncAtDone), theme::kInk, theme::Size::Small, false, page);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setWordWrap(true);
    l->addSpacing(4);
    l->addWidget(hint);
    l->addStretch(1);
    scroll->setWidget(page);
    body()->addWidget(scroll);
    softKeys()->setKeys(uiText(StringId::Back), uiText(StringId::Choose));
    softKeys()->right()->setDefault(true);
    for (const auto& [mode, option] : options_)
        if (option->isChecked()) option->setFocus();
}

SyncMode NextSyncScreen::mode() const {
    for (const auto& [mode, option] : options_)
        if (option->isChecked()) return mode;
    return SyncMode::TwoWay;
}

bool NextSyncScreen::confirmed(SyncMode mode) {
    switch (mode) {
        case SyncMode::Slow: return askConfirmation(this, uiText(StringId::ConfirmSlowSync));
        case SyncMode::RefreshFromServer: return askConfirmation(this, uiText(StringId::ConfirmRefreshFromServer));
        case SyncMode::RefreshFromDevice: break;
        default: return true;
    }
    if (!askConfirmation(this, uiText(StringId::ConfirmRefreshFromDevice))) return false;
    // A folder that reads as empty, or cannot be read, would empty the server's: asked again.
    QStringList empty;
    for (const int kind : kinds_) {
        const auto count = countItems_ ? countItems_(kind) : std::nullopt;
        if (!count || *count == 0) empty << folderText(kind);
    }
    return empty.isEmpty() ||
           askConfirmation(this, uiText(StringId::ConfirmEmptyDeviceFolder).arg(empty.join(QStringLiteral(", "))));
}

void NextSyncScreen::rightKey() {
    if (confirmed(mode())) accept();
}

}  // namespace orvale::ui
