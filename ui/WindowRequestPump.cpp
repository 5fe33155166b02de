#include "ui/WindowRequestPump.h"

#include "platform/WindowRegistry.h"

namespace orvale::ui {

namespace {
// Without file-change notification (some file systems) requests are still picked up by polling.
constexpr int kFallbackPollMs = 250;
}  // namespace

WindowRequestPump::WindowRequestPump(QObject* parent) : QObject(parent) {
    connect(&fallback_, &QTimer::timeout, this, [] { platform::dispatchWindowRequests(); });
}

void WindowRequestPump::watch() {
    if (!fallback_.isActive()) fallback_.start(kFallbackPollMs);
    const int fd = platform::windowRequestFd();
    if (notifier_ || fd < 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [] { platform::dispatchWindowRequests(); });
    // A request may have arrived before the notifier existed.
    QTimer::singleShot(0, this, [] { platform::dispatchWindowRequests(); });
}

}  // namespace orvale::ui
