#include "app/BackgroundSync.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/ConfigRecord.h"
#include "platform/DecimalText.h"

namespace orvale {

namespace {
// Until the run driver exists a background run is over at once, which leaves nothing for a second
// start to meet. ORVALE_PLACEHOLDER_RUN_MS lets the placeholder run last that long (at most a
// minute) so that the single-instance rules can be exercised with real processes.
void holdPlaceholderRun() {
    const char* v = std::getenv("ORVALE_PLACEHOLDER_RUN_MS");
    if (v == nullptr) return;
    const std::int32_t ms = platform::leadingDecimal(v);
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms < 60'000 ? ms : 60'000));
}
}  // namespace

void runBackgroundSync(KeepAwakeSlot& /*keepAwake*/) {
    loadCurrentConfig();
    holdPlaceholderRun();
}

}  // namespace orvale
