#pragma once
// The device's calendar folder as the store of kind WinMobileCalendars.
#include <memory>
#include <optional>
#include <unordered_map>

#include "stores/FolderStore.h"
#include "stores/KindCode.h"

namespace orvale::calendar {

class CalendarStore final : public FolderStore {
public:
    explicit CalendarStore(DataStoreKind* kind);
    StoreItem* newItem() override;

protected:
    StoreItem* readItem(const std::string& key) override;
    bool buildsFromDevice() const override { return true; }
    StoreItem* itemFromDevice(const std::string& key, const platform::pim::Item* device) override;
    TrackerProfile trackerProfile() const override;
    // An event's content is its values as the device read gives them, with its rule, exceptions
    // and attendees.
    std::optional<std::string> contentOfText(const std::string& text) override;
    std::string contentOfItem(const platform::pim::Item& item) const override;
    std::vector<uint32_t> contentProperties() const override;
    std::vector<uint32_t> exportProperties() const override;
    std::string exportText(const platform::pim::Item& item) const override;
    // With the date window on, events outside it stay out of the lists and keep their recorded
    // state, so that a change to one is sent once it comes inside.
    std::vector<uint32_t> narrowed(std::vector<uint32_t> ids) override;
    bool narrows() const override;

private:
    // Whether each appointment is inside the window, worked out once per store (the lists of one
    // session all see the same window): by the change tracker's first scan when this store made the
    // tracker, else by a read of its own.
    struct WindowView {
        bool fromTracker = false;
        std::unordered_map<uint32_t, bool> inside;
    };
    std::shared_ptr<WindowView> window_ = std::make_shared<WindowView>();
    bool windowRead_ = false;
};

// A new calendar kind, as the kind registry makes it.
DataStoreKind* makeCalendarKind();
// Puts the calendar kind into the kind registry unless one is there already.
void registerCalendarKind();

}  // namespace orvale::calendar
