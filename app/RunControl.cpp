#include "app/RunControl.h"

#include "engine/AbortRecord.h"

namespace orvale {

namespace {
void pull(const std::shared_ptr<AbortRecord>& abort, const std::function<void()>& abortTransfer) {
    if (abort) abort->requestAbort();
    if (abortTransfer) abortTransfer();
}
}  // namespace

void RunControl::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    pull(abort_, abortTransfer_);
}

bool RunControl::cancelled() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return cancelled_;
}

void RunControl::attach(std::shared_ptr<AbortRecord> abort, std::function<void()> abortTransfer) {
    std::lock_guard<std::mutex> lock(mutex_);
    abort_ = std::move(abort);
    abortTransfer_ = std::move(abortTransfer);
    if (cancelled_) pull(abort_, abortTransfer_);
}

void RunControl::detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    abort_.reset();
    abortTransfer_ = nullptr;
}

}  // namespace orvale
