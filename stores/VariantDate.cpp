#include "stores/VariantDate.h"

namespace orvale::datetime {

std::optional<double> checkedVariantDate(const platform::SystemTime& st) {
    double v = 0;
    platform::SystemTime back;
    if (!platform::systemTimeToVariantTime(st, v) || !platform::variantTimeToSystemTime(v, back))
        return std::nullopt;
    if (back.year != st.year || back.month != st.month || back.day != st.day || back.hour != st.hour ||
        back.minute != st.minute || back.second != st.second) {
        return std::nullopt;
    }
    return v;
}

bool variantDateBefore(const std::optional<double>& a, const std::optional<double>& b) {
    return a && b && platform::linearVariantDays(*a) < platform::linearVariantDays(*b);
}

}  // namespace orvale::datetime
