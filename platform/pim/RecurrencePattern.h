#pragma once
// The recurrence pattern of an appointment or a task. The fields are what the store keeps; the
// set... members are the device's property writes, and they keep the pattern whole the way a
// real calendar does: an ending pattern always holds both its number of occurrences and the date
// of its last occurrence, whichever of the two was written, and both follow when a field that
// moves the occurrences changes. The recurrence rules rely on that (a daily rule carries its end
// only as a count, so a pattern ending on a date with no count would go out as never ending).
#include <cstdint>
#include <vector>

namespace orvale::platform::pim {

enum RecurrenceType : int32_t {
    kRecursDaily = 0,
    kRecursWeekly = 1,
    kRecursMonthly = 2,       // on a day number
    kRecursMonthNth = 3,      // on the n-th weekday
    kRecursYearly = 5,        // on a date
    kRecursYearNth = 6,       // on the n-th weekday of a month
};

// The device's value for "no date" (4501-01-01), the end date of a pattern that does not end.
inline constexpr double kNoEndDate = 949998.0;

struct Exception {
    double originalDate = 0;  // variant date of the occurrence it replaces
    bool deleted = true;
};

// Dates are variant dates (days since 1899-12-30) in device local time.
struct RecurrencePattern {
    int32_t type = kRecursDaily;
    int32_t interval = 1;
    int32_t occurrences = 0;
    bool noEnd = true;
    double patternStart = 0;  // the first day, at midnight
    double patternEnd = 0;
    double startTime = 0;  // time of day of the occurrences, as a fraction of a day
    double endTime = 0;
    int32_t dayOfWeekMask = 0;  // bit 0 Sunday .. bit 6 Saturday
    int32_t dayOfMonth = 0;
    int32_t instance = 0;  // 1 first .. 4 fourth, 5 last
    int32_t monthOfYear = 0;
    std::vector<Exception> exceptions;
    // Which end the other follows while the pattern ends: the count, or the end date. Not stored:
    // a saved pattern holds both, and one read back follows its count.
    bool endByCount = true;

    // Each returns false and changes nothing for a value the device refuses: a type it does not
    // know, a negative interval, a mask without a day or with bits above Saturday, a day of month
    // outside 1-31, an instance outside 1-5, a month outside 1-12.
    bool setType(int32_t value);
    bool setInterval(int32_t value);
    bool setDayOfWeekMask(int32_t value);
    bool setDayOfMonth(int32_t value);
    bool setInstance(int32_t value);
    bool setMonthOfYear(int32_t value);

    // Ends the pattern after `count` occurrences; the end date becomes the date of the last one.
    // Refused below 1 and when that occurrence would fall after 9999.
    bool setOccurrences(int32_t count);
    // Ends the pattern on the last occurrence on or before the local date `date` (its time of day
    // is ignored), which becomes the end date, and counts the occurrences up to it. An end before
    // the first occurrence keeps that one occurrence, as a recurring item always has its first.
    // Refused for a value that is not a date.
    bool setPatternEnd(double date);
    // True: the pattern never ends; the count and the end date are cleared. False: refused when the
    // pattern has no end to keep (it is made to end by a count or an end date).
    bool setNoEnd(bool value);

    // The start moved (the item's start was written): occurrences, count and end follow.
    // Whenever the end that leads no longer fits before 9999-12-31, the pattern ends with the last
    // occurrence before then.
    void setStart(double localDateTime);

private:
    bool setField(int32_t& field, int32_t value, int32_t low, int32_t high);
    // Recomputes the end that follows from the one that leads.
    void settleEnd();
};

// A new pattern as the device makes one for an item that starts at the local date-time `start`:
// it never ends, and takes its weekday, day, week of the month and month from that start until the
// rules say otherwise. A value that is not a date gives the empty pattern.
RecurrencePattern patternStartingAt(double start);

}  // namespace orvale::platform::pim
