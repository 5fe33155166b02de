#pragma once
// The server test: three status lines, filled from a test run on a worker thread after the screen
// has been drawn ("Testing server..." first). On success the record's folder URIs come from the
// server's device information. Also the second setup page.
#include <QTimer>
#include <memory>

#include "app/ConfigRecord.h"
#include "app/RunControl.h"
#include "app/ServerTest.h"
#include "ui/ScreenContext.h"
#include "ui/ScreenDialog.h"
#include "ui/WorkerThread.h"

class QPushButton;

namespace orvale::ui {

class BusyIndicator;
class StaticEx;

class ServerTestScreen : public ScreenDialog {
  public:
    static constexpr int kStartDelayMs = 500;

    ServerTestScreen(ConfigRecord& record, ScreenContext& context, QWidget* parent = nullptr);
    ~ServerTestScreen() override;

    // Runs the test again ("Test Server"); ignored while one runs.
    void runTest();
    bool testing() const { return worker_.busy(); }
    StaticEx* line(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    // The databases the last test found, under a heading; empty until a test succeeds.
    StaticEx* databases() const { return databases_; }
    StaticEx* warning() const { return warning_; }
    // Back and Next while a test runs cut it short first, so the screen never waits on a server.
    void done(int result) override;

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void showOutcome(const ServerTestOutcome& outcome);
    void setBusy(bool busy);

    ConfigRecord& record_;
    ScreenContext& context_;
    std::array<StaticEx*, 3> lines_{};
    StaticEx* databases_;
    StaticEx* warning_;
    QPushButton* again_;
    BusyIndicator* spinner_;
    QBasicTimer start_;
    std::shared_ptr<RunControl> control_;
    std::shared_ptr<ServerTestOutcome> outcome_;
    WorkerThread worker_;
};

}  // namespace orvale::ui
