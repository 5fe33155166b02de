#pragma once
// The main window: the counts of the last or running sync, its status, the time of the last
// successful one; Sync and Cancel, and the menu to About, Settings and Exit. On first use it runs
// the setup pages before it shows itself.
#include <memory>

#include "app/ConfigRecord.h"
#include "app/KeepAwake.h"
#include "app/RunControl.h"
#include "app/RunScope.h"
#include "ui/ScreenContext.h"
#include "ui/ScreenDialog.h"
#include "ui/WorkerThread.h"

class QMenu;

namespace orvale::ui {

class DrawCallback;
class ImageButton;
class RegisteredWindow;
class RunBridge;
class StaticEx;

class MainScreen : public ScreenDialog {
  public:
    explicit MainScreen(ScreenContext& context, QWidget* parent = nullptr);
    ~MainScreen() override;

    // Loads the record (made current for the screen's life), runs the setup pages when setup was
    // never done, shows the last sync and saves the record. False when setup was cancelled or the
    // window was closed meanwhile: the program ends without showing the screen.
    bool openScreen();

    // The progress operations the run reaches through its bridge.
    void showStatus(const QString& text);
    // Folder code 1, 2 or 4 (others are ignored), direction 0 sent or 1 received. A cell only grows.
    void reportCount(int folderCode, int direction, int value);
    void resetProgress();
    void setShownFolders(bool contacts, bool calendar, bool tasks);
    void showLastSync(const QString& text);
    // Why the last run failed and what to do, under the status; hidden when empty.
    void showCause(const QString& text);

    // Starts one run unless one is running. A cancelled run that is still winding down is waited
    // for before the new one starts; the screen shows the new run at once.
    void startSync();
    // The screen returns to idle at once; the run stops at its next safe point.
    void cancelSync();
    bool running() const { return running_; }
    // True once the window is being closed; setup and modal screens stop on it.
    bool closing() const { return closing_; }
    // The run's thread is still there (a cancelled run winding down counts).
    bool workerBusy() const { return worker_.busy(); }

    ConfigRecord& record() { return record_; }
    DrawCallback* counts() const { return counts_; }
    QMenu* menu() const { return menu_; }

    // Closing from anywhere (Exit, the End key, another instance) also ends the screens above this
    // one and a run in progress.
    void done(int result) override;

  protected:
    void leftKey() override;
    void rightKey() override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void launchRun();
    void runEnded();
    void showIdleKeys();
    void openSettings();
    void openAbout();

    ScreenContext& context_;
    ConfigRecord record_;
    CurrentConfigScope current_{record_};
    DrawCallback* counts_;
    ImageButton* syncButton_;
    StaticEx* status_;
    StaticEx* cause_;
    StaticEx* lastSync_;
    QMenu* menu_;
    std::unique_ptr<RegisteredWindow> registered_;

    bool running_ = false;
    bool pendingStart_ = false;
    bool closing_ = false;
    // Raised for every run and every cancel: what a run posted after it was cancelled is dropped.
    int generation_ = 0;
    KeepAwakeSlot keepAwake_;
    std::shared_ptr<RunControl> control_;
    std::unique_ptr<RunBridge> bridge_;
    WorkerThread worker_;
};

}  // namespace orvale::ui
