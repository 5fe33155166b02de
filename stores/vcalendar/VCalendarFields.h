#pragma once
// The property tables of events and tasks: each row one device property with the kind of value it
// holds. Reading, writing and the change fingerprints of both stores walk such a table, so the
// rules for turning a row's text into a device value are kept here once.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/ChangeTracker.h"

namespace orvale::vcalendar {

enum class FieldKind { Text, Integer, Flag, Time };

struct FieldProperty {
    std::uint32_t identifier;  // high 16 bits the property number, low 16 bits the value type
    FieldKind kind;
};

// The identifiers of a table, in row order, for one read of all of them.
std::vector<std::uint32_t> propertyIds(std::span<const FieldProperty> table);

// The fingerprint rows of a table: texts, 16-bit numbers, flags and times as they are.
std::vector<FingerprintRow> fingerprintRows(std::span<const FieldProperty> table);

// A row's text as the device value: UTF-8 to wide text, integers by their leading digits, flags
// true unless "0" (or empty), times by their fixed positions in device local time. An empty text
// is the kind's default: empty text, 0, false, and for a time the device's "no date".
platform::pim::PropValue deviceValue(const FieldProperty& property, const std::string& text);

// The stored text of a text row, and a flag row as "1" or "0"; a value the item lacks reads as
// empty text and as "0".
std::string textOfValue(const platform::pim::PropValue& value);
std::string flagOfValue(const platform::pim::PropValue& value);

// The pattern whose rule goes into an item's fingerprint: the item's, when its is-recurring value
// (as the tracker read it) is set and it has one; null otherwise.
const platform::pim::RecurrencePattern* trackedPattern(const platform::pim::Item& item,
                                                       const platform::pim::PropValue& isRecurring);

// The item of that type the key names; null when the session is not open, or the key names no item
// or one of another type (a key of another folder).
std::unique_ptr<platform::pim::Item> deviceItemByKey(const std::string& key, int type);

}  // namespace orvale::vcalendar
