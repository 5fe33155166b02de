// An item's properties as held in memory between its read and its save.
#include <algorithm>

#include "platform/pim/PimSession.h"

namespace orvale::platform::pim {

namespace {

// The dates a recurring item's pattern follows (Item::followStart).
bool isStartProp(uint32_t id) {
    return id == kAppointmentStartProp || id == kAppointmentEndProp || id == kTaskStartProp || id == kTaskDueProp;
}

}  // namespace

std::vector<PropValue> Item::getProps(const std::vector<uint32_t>& ids) const {
    std::vector<PropValue> out;
    out.reserve(ids.size());
    for (uint32_t id : ids) out.push_back(getProp(id));
    return out;
}

PropValue Item::getProp(uint32_t id) const {
    if (id == kIsRecurringProp && (type_ == kAppointment || type_ == kTask)) {
        PropValue recurring;
        recurring.id = id;
        recurring.u32 = recurrence_ ? 1 : 0;
        return recurring;
    }
    for (const auto& v : props_)
        if (v.id == id) return v;
    PropValue missing;
    missing.id = id;
    missing.flags = kFlagNotFound;
    return missing;
}

void Item::setProps(const std::vector<PropValue>& values) {
    bool moved = false;
    for (const auto& v : values) {
        // Read only: the pattern decides, as on the device; a store writing its default is ignored.
        if (v.id == kIsRecurringProp && (type_ == kAppointment || type_ == kTask)) continue;
        moved = moved || isStartProp(v.id);
        PropValue stored = v;
        stored.flags = 0;
        if (propType(v.id) == kTypeBool) stored.u32 = v.u32 ? 1 : 0;
        auto it = std::find_if(props_.begin(), props_.end(), [&](const PropValue& p) { return p.id == v.id; });
        if (it != props_.end()) *it = std::move(stored);
        else props_.push_back(std::move(stored));
    }
    // Moving a recurring item moves its occurrences, as on the device.
    if (moved) followStart();
}

void Item::removeProp(uint32_t id) {
    std::erase_if(props_, [&](const PropValue& p) { return p.id == id; });
}

std::string Item::picture() const { return getProp(kPictureProp).bytes; }

void Item::setPicture(std::string bytes) {
    if (bytes.empty()) {
        removeProp(kPictureProp);
        return;
    }
    PropValue v;
    v.id = kPictureProp;
    v.bytes = std::move(bytes);
    setProps({v});
}

}  // namespace orvale::platform::pim
