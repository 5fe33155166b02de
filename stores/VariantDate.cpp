#include "stores/VariantDate.h"

#include <cmath>

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

namespace {
// Before the base date the whole part counts back but the fraction forward; on a straight line
// -1.25 (1899-12-29 06:00) is -0.75.
double linearDays(double v) {
    const double whole = std::trunc(v);
    return v >= 0 ? v : whole + (whole - v);
}
}  // namespace

bool variantDateBefore(const std::optional<double>& a, const std::optional<double>& b) {
    return a && b && linearDays(*a) < linearDays(*b);
}

}  // namespace orvale::datetime
