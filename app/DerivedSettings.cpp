#include "app/DerivedSettings.h"

#include "platform/CodePage.h"
#include "platform/TextConversion.h"

namespace orvale {

std::u16string calendarUriForServer(const ConfigRecord& record) {
    std::u16string uri = record.text(ConfigText::CalendarUri);
    if (!record.flag(ConfigFlag::CalendarRangeEnabled)) return uri;
    const std::string range = "?/dr(-" + std::to_string(record.number(ConfigNumber::DaysBack)) + "," +
                              std::to_string(record.number(ConfigNumber::DaysForward)) + ")";
    return uri + platform::utf8ToUtf16(range);
}

std::string narrowField(const ConfigRecord& record, ConfigText field) {
    return platform::wideToMultiByte(platform::kCodePageDefault, record.text(field));
}

}  // namespace orvale
