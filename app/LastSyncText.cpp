#include "app/LastSyncText.h"

#include <cstdio>

#include "app/ConfigRecord.h"
#include "platform/Clock.h"
#include "platform/TextConversion.h"

namespace orvale {

std::u16string formatLastSyncText(const platform::SystemTime& t) {
    const unsigned hour12 = t.hour % 12 == 0 ? 12u : t.hour % 12u;
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u %02u:%02u %s", unsigned{t.day}, unsigned{t.month},
                  t.year % 100u, hour12, unsigned{t.minute}, t.hour < 12 ? "AM" : "PM");
    return platform::utf8ToUtf16(text);
}

std::u16string recordSuccessfulRun(ConfigRecord& record) {
    std::u16string text = formatLastSyncText(platform::localTimeNow());
    record.setText(ConfigText::LastSyncText, text);
    record.save();
    return text;
}

}  // namespace orvale
