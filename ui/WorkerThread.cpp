#include "ui/WorkerThread.h"

#include <QMetaObject>

namespace orvale::ui {

WorkerThread::~WorkerThread() {
    *alive_ = false;
    join();
}

bool WorkerThread::start(QObject* screen, std::function<void()> job, std::function<void()> done) {
    if (busy()) return false;
    std::weak_ptr<bool> alive = alive_;
    // The screen outlives the thread (its WorkerThread joins on destruction), and Qt drops what
    // was posted to a screen destroyed before it ran.
    thread_ = std::thread([this, screen, alive, job = std::move(job), done = std::move(done)] {
        job();
        // Posted to the screen's thread: the worker never touches a widget.
        QMetaObject::invokeMethod(
            screen,
            [this, alive, done] {
                auto owner = alive.lock();
                if (!owner || !*owner) return;
                join();
                done();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void WorkerThread::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

}  // namespace orvale::ui
