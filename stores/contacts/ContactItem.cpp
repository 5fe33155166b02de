#include "stores/contacts/ContactItem.h"

#include <utility>

#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactVCard.h"

namespace orvale::contacts {

ContactItem::ContactItem(PictureFetcher fetch) : fetch_(std::move(fetch)) {}

ContactItem::ContactItem(const std::string& key, PictureFetcher fetch) : TextItem(key), fetch_(std::move(fetch)) {
    exportFrom(readContact(key_));
}

ContactItem::ContactItem(const std::string& key, const platform::pim::Item* device, PictureFetcher fetch)
    : TextItem(key), fetch_(std::move(fetch)) {
    exportFrom(device != nullptr && device->type() == platform::pim::kContact ? contactOfItem(*device) : DeviceContact{});
}

void ContactItem::exportFrom(const DeviceContact& contact) {
    data_ = contact.found ? exportVCard(contact.fields, key_, contact.pictureType)
                          : exportVCard(ContactFields{}, {}, {});
}

ContentType ContactItem::contentType() const { return ContentType("text/x-vcard", "2.1"); }

bool ContactItem::setData(const std::string& text) {
    const auto fields = importVCard(text);
    if (!fields) return false;
    std::string key = key_;
    if (!writeContact(*fields, key, fetch_)) return false;
    key_ = std::move(key);
    return true;
}

}  // namespace orvale::contacts
