#pragma once
// The sync screen as the run sees it from its worker thread. Nothing here touches a widget: each
// call becomes a signal that reaches the screen queued, on the UI thread. Counts are kept here, per
// folder and direction, so the screen gets the running total of every cell.
#include <QObject>
#include <QString>
#include <array>

#include "app/InteractiveRun.h"

namespace orvale::ui {

class RunBridge : public QObject, public RunView {
    Q_OBJECT
  public:
    // RunView, called on the worker thread.
    void showStatus(const std::u16string& text) override;
    void itemResult(int side, int kindCode) override;
    void resetProgress() override;
    void setShownFolders(bool contacts, bool calendar, bool tasks) override;
    void showLastSync(const std::u16string& text) override;
    void showWarning(const std::u16string& text) override;
    void showCause(const std::u16string& text) override;

  signals:
    void statusShown(const QString& text);
    // A store kind code (stores/KindCode.h); direction 0 sent, 1 received.
    void countReported(int folderCode, int direction, int value);
    void progressReset();
    void foldersShown(bool contacts, bool calendar, bool tasks);
    void lastSyncShown(const QString& text);
    void warningShown(const QString& text);
    void causeShown(const QString& text);

  private:
    std::array<std::array<int, 2>, 5> counts_{};
};

}  // namespace orvale::ui
