#pragma once
// Every setting on one scrolling page, with Slow Sync, Test Server and the log viewer; the header
// button opens About. Done saves the record, arms or removes the background start and closes; the
// back key closes without touching the record.
#include <QCheckBox>

#include "app/ConfigRecord.h"
#include "app/SettingsSave.h"
#include "ui/ScreenContext.h"
#include "ui/ScreenDialog.h"

class QScrollArea;

namespace orvale::ui {

class EditEx;
class UnitPicker;

class SettingsScreen : public ScreenDialog {
  public:
    SettingsScreen(ConfigRecord& record, ScreenContext& context, QWidget* parent = nullptr);

    QScrollArea* scrollArea() const { return scroll_; }
    UnitPicker* unit() const { return unit_; }
    // What Done would store.
    SettingsInput input() const;

    void slowSync();
    void testServer();
    void viewLog();
    void openAbout();

  protected:
    void rightKey() override;
    void customEvent(QEvent* event) override;

  private:
    QWidget* buildPage();
    void fillUris(const ConfigRecord& found);

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
};

}  // namespace orvale::ui
