#pragma once
// The device's calendar folder as the store of kind WinMobileCalendars.
#include <optional>
#include <unordered_map>

#include "stores/FolderStore.h"

namespace orvale::calendar {

inline constexpr int kCalendarKindCode = 2;

class CalendarStore final : public FolderStore {
public:
    explicit CalendarStore(DataStoreKind* kind);
    StoreItem* newItem() override;

protected:
    StoreItem* readItem(const std::string& key) override;
    TrackerProfile trackerProfile() const override;
    // With the date window on, events outside it stay out of the lists and keep their recorded
    // state, so that a change to one is sent once it comes inside.
    std::vector<uint32_t> narrowed(std::vector<uint32_t> ids) override;

private:
    // Read once per store: the lists of one session all see the same window.
    std::optional<std::unordered_map<uint32_t, bool>> inWindow_;
};

// A new calendar kind, as the kind registry makes it.
DataStoreKind* makeCalendarKind();
// Puts the calendar kind into the kind registry unless one is there already.
void registerCalendarKind();

}  // namespace orvale::calendar
