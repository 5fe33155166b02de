#pragma once
// Values of the personal-information store. A property identifier carries its value type in the
// low 16 bits, so a reader knows which field of a value holds the data without asking the store.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pim/RecurrencePattern.h"

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

// The properties a recurrence pattern takes its start from.
inline constexpr uint32_t kAppointmentStartProp = 0x10420040;
inline constexpr uint32_t kAppointmentEndProp = 0x10430040;
inline constexpr uint32_t kTaskStartProp = 0x00620040;
inline constexpr uint32_t kTaskDueProp = 0x00630040;

inline uint16_t propType(uint32_t id) { return static_cast<uint16_t>(id & 0xFFFFu); }

struct PropValue {
    uint32_t id = 0;
    uint16_t flags = 0;
    uint32_t u32 = 0;        // 0x0013 and 0x000B (0 or 1)
    uint64_t fileTime = 0;   // 0x0040
    std::u16string text;     // 0x001F
    std::string bytes;       // 0x0064
};

struct Recipient {
    std::u16string name;
    std::u16string address;
};

}  // namespace orvale::platform::pim
