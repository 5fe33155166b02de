#pragma once
// A contact's fields on the device: read once when an item is built, written whole by an import.
#include <optional>
#include <string>

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

// An empty key creates a contact and receives its key; any other replaces that contact, resetting
// every field the text does not carry. False when the device did not take the write.
bool writeContact(const ContactFields& fields, std::string& key, const PictureFetcher& fetch);

}  // namespace orvale::contacts
