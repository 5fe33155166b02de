#pragma once
// The zone a sender wrote its local times in: the TZ offset, and the DAYLIGHT periods in which
// another offset holds ("DAYLIGHT:TRUE;+02;20270328T010000Z;20271031T010000Z;CEST;CET", one
// property per period).
#include <cstdint>
#include <string_view>
#include <vector>

namespace orvale {
class VersitDocument;
}

namespace orvale::vcalendar {

struct SenderZone {
    struct Daylight {
        std::int64_t from = 0;  // UTC seconds, the period's first instant
        std::int64_t to = 0;    // UTC seconds, the first instant after it
        std::int32_t offset = 0;
    };
    std::int32_t standard = 0;  // seconds east of UTC; 0 when the text has no TZ
    std::vector<Daylight> daylight;

    // The offset in force at a wall-clock time of this zone ("YYYYMMDDTHHMMSS", no Z).
    std::int32_t offsetAt(std::string_view wallClock) const;
};

// TZ and DAYLIGHT of the item block and, after them, of the calendar around it. A DAYLIGHT that
// is not "TRUE" with a readable period is left out.
SenderZone senderZoneOf(const VersitDocument& doc);

}  // namespace orvale::vcalendar
