#pragma once
// Carries out, on the UI thread, what other processes asked of this process's windows.
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

namespace orvale::ui {

class WindowRequestPump : public QObject {
  public:
    explicit WindowRequestPump(QObject* parent = nullptr);

    // Starts watching once the process has a registered window; harmless to call again.
    void watch();

  private:
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;
};

}  // namespace orvale::ui
