#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace orvale::platform {

SystemTime systemTimeOfFields(const std::tm& tm, long nanos) {
    SystemTime st;
    st.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    st.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    st.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    st.day = static_cast<std::uint16_t>(tm.tm_mday);
    st.hour = static_cast<std::uint16_t>(tm.tm_hour);
    st.minute = static_cast<std::uint16_t>(tm.tm_min);
    st.second = static_cast<std::uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    st.milliseconds = static_cast<std::uint16_t>(nanos / 1'000'000);
    return st;
}

std::uint32_t tickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms.count()));
}

SystemTime localTimeNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::tzset();
    ::localtime_r(&ts.tv_sec, &tm);
    return systemTimeOfFields(tm, ts.tv_nsec);
}

SystemTime utcTimeNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::gmtime_r(&ts.tv_sec, &tm);
    return systemTimeOfFields(tm, ts.tv_nsec);
}

}  // namespace orvale::platform
