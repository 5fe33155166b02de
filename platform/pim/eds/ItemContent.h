#pragma once
// One item of the device as plain values, apart from any store: what is read from and written to
// an Evolution Data Server contact or calendar component.
#include <optional>
#include <string>
#include <vector>

#include "platform/pim/PimTypes.h"
#include "platform/pim/RecurrencePattern.h"

namespace orvale::platform::pim::eds {

struct ItemContent {
    int type = 0;  // kAppointment, kContact or kTask
    std::vector<PropValue> props;
    std::optional<RecurrencePattern> recurrence;  // appointments and tasks
    std::vector<Recipient> recipients;            // appointments
    std::string picture;                          // contacts
};

}  // namespace orvale::platform::pim::eds
