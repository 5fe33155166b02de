// Any bytes as a recurrence rule, applied to a pattern whose start the first four bytes choose,
// in a zone with daylight saving time. Reading must never crash or read past the text, and what
// we write for a rule we took must read back and write the same text again: otherwise every sync
// would change the rule a little more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/SystemTime.h"
#include "platform/pim/RecurrencePattern.h"
#include "stores/recurrence/RecurrenceCodec.h"

namespace {

using orvale::platform::pim::RecurrencePattern;

// Days since 1899-12-30 over the years 1900 to 9999, and an hour of the day.
bool startFrom(const std::uint8_t* data, orvale::platform::SystemTime& st, double& start) {
    const std::uint32_t days = (data[0] | data[1] << 8 | static_cast<std::uint32_t>(data[2]) << 16) % 2'950'000;
    start = 1.0 + days + (data[3] % 24) / 24.0;
    return orvale::platform::variantTimeToSystemTime(start, st);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    orvale::platform::SystemTime st;
    double start = 0;
    if (!startFrom(data, st, start)) return 0;
    // The rule in a buffer of its own size, so that reading one byte too far is seen.
    const std::string rule(reinterpret_cast<const char*>(data + 4), size - 4);
    RecurrencePattern first = orvale::platform::pim::patternStartingAt(start);
    if (!orvale::recurrence::applyRule(rule, first, st)) return 0;
    const std::string written = orvale::recurrence::writeRule(first);
    if (written.empty()) return 0;
    RecurrencePattern second = orvale::platform::pim::patternStartingAt(start);
    if (!orvale::recurrence::applyRule(written, second, st)) std::abort();
    if (orvale::recurrence::writeRule(second) != written) std::abort();
    if (second.occurrences != first.occurrences || second.noEnd != first.noEnd) std::abort();
    return 0;
}
