#include "stores/ProgressReporter.h"

#include <atomic>

namespace orvale {

namespace {
std::atomic<ProgressReporter*> current{nullptr};
}

ProgressReporter* currentProgressReporter() { return current.load(); }
void setCurrentProgressReporter(ProgressReporter* reporter) { current.store(reporter); }

}  // namespace orvale
