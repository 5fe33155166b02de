#include "stores/contacts/ContactItem.h"

#include <utility>

#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactVCard.h"

namespace orvale::contacts {

ContactItem::ContactItem(PictureFetcher fetch) : fetch_(std::move(fetch)) {}

ContactItem::ContactItem(const std::string& key, PictureFetcher fetch) : TextItem(key), fetch_(std::move(fetch)) {
    const DeviceContact contact = readContact(key_);
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
