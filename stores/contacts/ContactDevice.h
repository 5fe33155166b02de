#pragma once
// A contact's fields on the device: read once when an item is built, written whole by an import.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pim/PimSession.h"
#include "stores/contacts/ContactPicture.h"
#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

struct DeviceContact {
    ContactFields fields;
    std::string pictureType;
    bool found = false;  // the key named a contact on the device
};

// Empty fields when the key names no contact (or the session is not open).
DeviceContact readContact(const std::string& key);
// The fields a device item holds, as readContact gives them; also for an item not saved yet.
DeviceContact contactOfItem(const platform::pim::Item& item);

// An empty key creates a contact and receives its key; any other replaces that contact, resetting
// every field the text does not carry. False when the device did not take the write, or the
// picture is larger than a contact keeps.
bool writeContact(const ContactFields& fields, std::string& key, const PictureFetcher& fetch);
// What writeContact puts into the item, without saving it. `created`: the item is new, so only the
// rows the fields carry are set. False (the item half filled, not to be saved) when the picture is
// larger than a contact keeps.
bool fillContact(const ContactFields& fields, platform::pim::Item& item, bool created, const PictureFetcher& fetch);
// The properties contactOfItem reads.
std::vector<std::uint32_t> contactPropertyIds();

}  // namespace orvale::contacts
