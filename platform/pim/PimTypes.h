#pragma once
// Values of the personal-information store. A property identifier carries its value type in the
// low 16 bits, so a reader knows which field of a value holds the data without asking the store.
#include <cstdint>
#include <string>
#include <vector>

namespace orvale::platform::pim {

enum PropType : uint16_t {
    kTypeText = 0x001F,
    kTypeU32 = 0x0013,
    kTypeBool = 0x000B,
    kTypeFileTime = 0x0040,
    kTypeStream = 0x0064,
};
// Set in `flags` of a value read for a property the item does not hold.
inline constexpr uint16_t kFlagNotFound = 0x0100;

// The picture stream of a contact.
inline constexpr uint32_t kPictureProp = 0x00FF0064;
// Whether an appointment or task recurs: read only, it follows the item's recurrence pattern.
inline constexpr uint32_t kIsRecurringProp = 0x0022000B;

inline constexpr int kFolderCalendar = 9;
inline constexpr int kFolderContacts = 10;
inline constexpr int kFolderTasks = 13;
inline constexpr bool isKnownFolder(int folder) {
    return folder == kFolderCalendar || folder == kFolderContacts || folder == kFolderTasks;
}

enum ItemType : int { kAppointment = 1, kContact = 2, kTask = 3 };

inline uint16_t propType(uint32_t id) { return static_cast<uint16_t>(id & 0xFFFFu); }

struct PropValue {
    uint32_t id = 0;
    uint16_t flags = 0;
    uint32_t u32 = 0;        // 0x0013 and 0x000B (0 or 1)
    uint64_t fileTime = 0;   // 0x0040
    std::u16string text;     // 0x001F
    std::string bytes;       // 0x0064
};

struct Exception {
    double originalDate = 0;  // variant date of the occurrence it replaces
    bool deleted = true;
};

// Every field the recurrence rules read or write. Dates are variant dates (days since 1899-12-30).
struct RecurrencePattern {
    int32_t type = 0;
    int32_t interval = 1;
    int32_t occurrences = 0;
    bool noEnd = true;
    double patternStart = 0;
    double patternEnd = 0;
    double startTime = 0;  // time of day of the occurrences, as a fraction of a day
    double endTime = 0;
    int32_t dayOfWeekMask = 0;
    int32_t dayOfMonth = 0;
    int32_t instance = 0;
    int32_t monthOfYear = 0;
    std::vector<Exception> exceptions;
};

struct Recipient {
    std::u16string name;
    std::u16string address;
};

}  // namespace orvale::platform::pim
