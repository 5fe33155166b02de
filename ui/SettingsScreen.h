#pragma once
// Every setting on one scrolling page, with the choice of the next sync, Test Server and the log
// viewer; the header button opens About. Done saves the record, arms or removes the background
// start, keeps the next sync's choice and closes; the back key closes without touching any of it.
#include <QCheckBox>
#include <optional>
#include <vector>

#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"
#include "stores/SyncMode.h"
#include "ui/ScreenContext.h"
#include "ui/ScreenDialog.h"

class QScrollArea;

namespace orvale::ui {

class EditEx;
class StaticEx;
class UnitPicker;

class SettingsScreen : public ScreenDialog {
  public:
    SettingsScreen(ConfigRecord& record, ScreenContext& context, QWidget* parent = nullptr);

    QScrollArea* scrollArea() const { return scroll_; }
    UnitPicker* unit() const { return unit_; }
    // What Done would store.
    SettingsInput input() const;

    // Opens the choice of the next sync; what is chosen waits for Done.
    void chooseNextSync();
    // The choice waiting for Done, if any.
    std::optional<SyncMode> pendingNextSync() const { return nextSync_; }
    void testServer();
    void viewLog();
    void openAbout();

  protected:
    void rightKey() override;
    void customEvent(QEvent* event) override;

  private:
    QWidget* buildPage();
    void fillUris(const ConfigRecord& found);
    void showNextSync();
    // The chosen folders, as the check boxes have them now (kind codes).
    std::vector<int> chosenKinds() const;
    // What Done does with a next sync that was chosen; false (with a message) when it failed.
    bool keepNextSync();

    ConfigRecord& record_;
    ScreenContext& context_;
    QScrollArea* scroll_;
    QWidget* page_ = nullptr;
    EditEx* url_ = nullptr;
    EditEx* user_ = nullptr;
    EditEx* password_ = nullptr;
    QCheckBox* contacts_ = nullptr;
    QCheckBox* tasks_ = nullptr;
    QCheckBox* calendar_ = nullptr;
    EditEx* contactsUri_ = nullptr;
    EditEx* tasksUri_ = nullptr;
    EditEx* calendarUri_ = nullptr;
    QCheckBox* range_ = nullptr;
    EditEx* daysBack_ = nullptr;
    EditEx* daysForward_ = nullptr;
    QCheckBox* autosync_ = nullptr;
    EditEx* every_ = nullptr;
    UnitPicker* unit_ = nullptr;
    QCheckBox* logging_ = nullptr;
    StaticEx* nextSyncState_ = nullptr;
    std::optional<SyncMode> nextSync_;
};

}  // namespace orvale::ui
