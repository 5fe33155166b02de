#pragma once
// One job on a thread of its own, for work the screen must not wait for (a sync run, a server
// test). When the job returns, `done` runs on the UI thread, queued behind what the job posted
// before; a screen that is gone by then gets nothing.
#include <QObject>
#include <memory>
#include <functional>
#include <thread>

namespace orvale::ui {

class WorkerThread {
  public:
    WorkerThread() = default;
    // Waits for a job still running; its `done` is then dropped.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // True from start until `done` ran (or join returned).
    bool busy() const { return thread_.joinable(); }
    // Ignored while busy.
    bool start(QObject* screen, std::function<void()> job, std::function<void()> done);
    // Waits for the job to return; its `done` still runs later, unless it already did.
    void join();

  private:
    std::thread thread_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orvale::ui
