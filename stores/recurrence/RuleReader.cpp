#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

#include "platform/DecimalText.h"
#include "platform/SystemTime.h"
#include "platform/pim/RecurrenceOccurrence.h"
#include "stores/DateTime.h"
#include "stores/DateTimeText.h"
#include "stores/recurrence/RecurrenceCodec.h"
#include "stores/recurrence/RuleDays.h"

namespace orvale::recurrence {

namespace {

using platform::pim::RecurrencePattern;
namespace pim = platform::pim;

std::vector<std::string_view> tokensOf(std::string_view rule) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < rule.size()) {
        while (i < rule.size() && rule[i] == ' ') ++i;
        const std::size_t begin = i;
        while (i < rule.size() && rule[i] != ' ') ++i;
        if (i > begin) tokens.push_back(rule.substr(begin, i - begin));
    }
    return tokens;
}

// The leading-decimal reading of `len` characters at `pos`, of what the token has of them.
int part(std::string_view token, std::size_t pos, std::size_t len) {
    return pos < token.size() ? platform::leadingDecimal(token.substr(pos, len)) : 0;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An end token's date (YYYYMMDD, then THHMMSS when it is longer than nine characters; with a Z it
// is UTC) as a local variant date. A bare date is taken as well: read as no end token, it would
// leave a rule that ends as one that never does. An end past the last day the device holds is that day, so a
// "forever" end of 9999-12-31 in UTC survives a zone east of UTC.
std::optional<double> endDate(std::string_view token) {
    std::tm f{};
    f.tm_year = part(token, 0, 4) - 1900;
    f.tm_mon = part(token, 4, 2) - 1;
    f.tm_mday = part(token, 6, 2);
    if (token.size() > 9) {
        f.tm_hour = part(token, 9, 2);
        f.tm_min = part(token, 11, 2);
        f.tm_sec = part(token, 13, 2);
    }
    platform::SystemTime local;
    if (token.find('Z') != std::string_view::npos) {
        const auto utc = datetime::makeUtcTime(f);
        if (!utc) return std::nullopt;
        const auto shown = datetime::secondsToLocalSystemTime(*utc);
        if (shown) local = *shown;
        else if (*utc > 0) local = {datetime::kLastYear, 12, 0, 31, 0, 0, 0, 0};
        else return std::nullopt;
    } else {
        if (!datetime::makeLocalTime(f)) return std::nullopt;
        local = datetime::toSystemTime(f);
    }
    double date = 0;
    if (!platform::systemTimeToVariantTime(local, date)) return std::nullopt;
    return date;
}

int weekdayOf(const platform::SystemTime& date) {
    const std::int64_t days = platform::civilToDays(date.year, date.month, date.day);
    return static_cast<int>(((days + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
}

// The rule's kind and interval from its first token ("W2", "MP12"); nothing for a kind the device
// cannot hold or an interval below 1.
struct Kind {
    std::int32_t type;
    std::int32_t interval;
    bool dayOfYear = false;  // "YD": kept as a yearly date when its day is one
};
std::optional<Kind> kindOf(std::string_view token) {
    std::int32_t type = 0;
    std::size_t letters = 2;
    bool dayOfYear = false;
    if (token.starts_with("MD")) type = pim::kRecursMonthly;
    else if (token.starts_with("MP")) type = pim::kRecursMonthNth;
    else if (token.starts_with("YM")) type = pim::kRecursYearly;
    else if (token.starts_with("YD")) type = pim::kRecursYearly, dayOfYear = true;
    else if (token.starts_with("D")) type = pim::kRecursDaily, letters = 1;
    else if (token.starts_with("W")) type = pim::kRecursWeekly, letters = 1;
    else return std::nullopt;
    std::int32_t interval = platform::leadingDecimal(token.substr(letters));
    if (interval < 1) return std::nullopt;
    // The device reads a yearly interval that is a multiple of twelve as months: every 24 years is
    // kept as 288 months, or it would come back as every 2 years.
    if (type == pim::kRecursYearly && interval % 12 == 0) {
        if (interval > INT32_MAX / 12) return std::nullopt;
        interval *= 12;
    }
    return Kind{type, interval, dayOfYear};
}

// What the tokens between the count and end tokens gathered.
struct Gathered {
    std::uint32_t days = 0;
    std::int32_t dayOfMonth = -1;
    std::int32_t instance = -1;
    std::int32_t month = -1;
    bool dayToken = false;
    bool monthToken = false;
};

// Days 1 to 59 of a year fall on the same date in every year; later ones move by a day in leap
// years, a series the device has no form for.
constexpr std::int32_t kLastFixedDayOfYear = 59;

// A kind-specific token; false rejects the rule.
bool gather(const Kind& kind, std::string_view token, const platform::SystemTime& start, Gathered& g) {
    const auto bit = dayBit(token);
    if (kind.dayOfYear) {
        // One day only: a yearly date holds one.
        if (g.monthToken) return false;
        g.monthToken = true;
        const std::int32_t day = platform::leadingDecimal(token);
        if (day < 1 || day > kLastFixedDayOfYear || token.find('-') != std::string_view::npos) return false;
        g.month = day <= 31 ? 1 : 2;
        g.dayOfMonth = day <= 31 ? day : day - 31;
        return true;
    }
    switch (kind.type) {
    case pim::kRecursWeekly:
        if (bit) g.days |= *bit;
        return true;
    case pim::kRecursMonthly: {
        if (g.dayToken) return true;
        g.dayToken = true;
        // A day counted from the month's end ("1-") has no form the device keeps through a round
        // trip, so it is refused rather than read as the day from the start.
        std::size_t digits = 0;
        while (digits < token.size() && isDigit(token[digits])) ++digits;
        if (digits < token.size() && token[digits] == '-') return false;
        g.dayOfMonth = platform::leadingDecimal(token);
        return g.dayOfMonth >= 1 && g.dayOfMonth <= 31;
    }
    case pim::kRecursMonthNth: {
        if (bit) {
            g.days |= *bit;
            return true;
        }
        if (token.size() < 2 || !isDigit(token[0]) || (token[1] != '+' && token[1] != '-')) return false;
        const int n = token[0] - '0';
        // Counted from the end only the last week has a device form.
        if (token[1] == '-') {
            if (n != 1) return false;
            g.instance = 5;
            return true;
        }
        g.instance = n;
        return n >= 1 && n <= 5;
    }
    case pim::kRecursYearly:
        if (g.monthToken) return false;
        g.monthToken = true;
        g.month = platform::leadingDecimal(token);
        g.dayOfMonth = start.day;
        return g.month >= 1 && g.month <= 12;
    default: return true;
    }
}

// The pattern takes the rule so far. The fields go first and the end last, so the end is worked
// out on the rule's own interval and days. Writes the device refuses (a -1 the rule left, a zero
// mask) keep what the pattern had from its start.
void settle(RecurrencePattern& p, const Kind& kind, const Gathered& g, const platform::SystemTime& start) {
    p.setType(kind.type);
    p.setInterval(kind.interval);
    switch (kind.type) {
    case pim::kRecursWeekly:
        p.setDayOfWeekMask(static_cast<std::int32_t>(g.days != 0 ? g.days : 1u << weekdayOf(start)));
        break;
    case pim::kRecursMonthly: p.setDayOfMonth(g.dayOfMonth); break;
    case pim::kRecursMonthNth:
        p.setInstance(g.instance);
        p.setDayOfWeekMask(static_cast<std::int32_t>(g.days));
        break;
    case pim::kRecursYearly:
        p.setMonthOfYear(g.month);
        p.setDayOfMonth(g.dayOfMonth);
        break;
    default: break;
    }
}

}  // namespace

bool applyRule(std::string_view rule, RecurrencePattern& p, const platform::SystemTime& start) {
    if (rule.size() > kMaxRuleLength) return false;
    const std::vector<std::string_view> tokens = tokensOf(rule);
    if (tokens.empty()) return false;
    const auto kind = kindOf(tokens[0]);
    if (!kind) return false;
    Gathered g;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        if (const auto hash = token.find('#'); hash != std::string_view::npos) {
            const std::int32_t count = platform::leadingDecimal(token.substr(hash + 1));
            if (count < 0) return false;
            settle(p, *kind, g, start);
            if (count == 0) p.setNoEnd(true);
            else p.setOccurrences(count);
        } else if ((token.size() >= 9 && token[8] == 'T') || datetime::isDateOnly(token)) {
            const auto end = endDate(token);
            if (!end) return false;
            settle(p, *kind, g, start);
            p.setPatternEnd(*end);
        } else if (!gather(*kind, token, start, g)) {
            return false;
        }
    }
    // A rule whose pattern names no occurrence before the end of 9999 (every 30000 months on a day
    // before the start) describes nothing the device can hold.
    return pim::nthOccurrenceDate(p, 1).has_value();
}

}  // namespace orvale::recurrence
