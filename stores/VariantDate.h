#pragma once
// Dates compared as the device's variant dates (fractional days), accepted only when they are real
// dates: a broken-down time that the conversion would roll over (31 February) is not one.
#include <optional>

#include "platform/SystemTime.h"

namespace orvale::datetime {

std::optional<double> checkedVariantDate(const platform::SystemTime& st);

// a < b in days; false when either is not a valid date.
bool variantDateBefore(const std::optional<double>& a, const std::optional<double>& b);

}  // namespace orvale::datetime
