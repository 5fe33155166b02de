// The row layouts that the single-item and the whole-folder reads both decode.
#include <cstring>

#include "platform/pim/PimStatement.h"

namespace orvale::platform::pim::detail {

std::string textBytes(const std::u16string& t) {
    return std::string(reinterpret_cast<const char*>(t.data()), t.size() * sizeof(char16_t));
}

std::u16string bytesText(const char* data, size_t size) {
    std::u16string t(size / sizeof(char16_t), u'\0');
    if (!t.empty()) std::memcpy(t.data(), data, t.size() * sizeof(char16_t));
    return t;
}

PropValue propFromRow(Stmt& row, int first) {
    PropValue v;
    v.id = static_cast<uint32_t>(row.i64(first));
    v.u32 = static_cast<uint32_t>(row.i64(first + 1));
    v.fileTime = static_cast<uint64_t>(row.i64(first + 2));
    auto [data, size] = row.bytes(first + 3);
    if (propType(v.id) == kTypeText) v.text = bytesText(data, size);
    else if (size > 0) v.bytes.assign(data, size);
    return v;
}

RecurrencePattern patternFromRow(Stmt& r, int first) {
    RecurrencePattern rp;
    auto i32 = [&](int c) { return static_cast<int32_t>(r.i64(first + c)); };
    rp.type = i32(0);
    rp.interval = i32(1);
    rp.occurrences = i32(2);
    rp.noEnd = r.i64(first + 3) != 0;
    rp.patternStart = r.dbl(first + 4);
    rp.patternEnd = r.dbl(first + 5);
    rp.startTime = r.dbl(first + 6);
    rp.endTime = r.dbl(first + 7);
    rp.dayOfWeekMask = i32(8);
    rp.dayOfMonth = i32(9);
    rp.instance = i32(10);
    rp.monthOfYear = i32(11);
    return rp;
}

}  // namespace orvale::platform::pim::detail
