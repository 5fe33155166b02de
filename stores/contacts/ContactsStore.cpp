#include "stores/contacts/ContactsStore.h"

#include "platform/pim/PimSession.h"
#include "stores/FolderKind.h"
#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactItem.h"
#include "stores/contacts/ContactTracking.h"
#include "stores/contacts/ContactVCard.h"
#include "stores/contacts/PictureDownload.h"

namespace orvale::contacts {

ContactsStore::ContactsStore(DataStoreKind* kind)
    : FolderStore(kind, *kindInfoByCode(kKindContacts)), fetch_(httpPictureFetcher()) {}

StoreItem* ContactsStore::newItem() { return new ContactItem(fetch_); }

StoreItem* ContactsStore::readItem(const std::string& key) { return new ContactItem(key, fetch_); }

StoreItem* ContactsStore::itemFromDevice(const std::string& key, const platform::pim::Item* device) {
    return new ContactItem(key, device, fetch_);
}

TrackerProfile ContactsStore::trackerProfile() const { return contactTrackerProfile(); }

std::optional<std::string> ContactsStore::contentOfText(const std::string& text) {
    const auto fields = importVCard(text);
    if (!fields) return std::nullopt;
    return contentOfNewItem(platform::pim::kContact,
                            [&](platform::pim::Item& item) { fillContact(*fields, item, true, fetch_); });
}

std::string ContactsStore::contentOfItem(const platform::pim::Item& item) const {
    const DeviceContact contact = contactOfItem(item);
    std::string content;
    for (std::size_t r = 0; r < kContactFieldCount; ++r) appendContentValue(content, contact.fields.row(r));
    appendContentValue(content, contact.pictureType);
    return content;
}

std::vector<uint32_t> ContactsStore::contentProperties() const { return contactPropertyIds(); }

std::vector<uint32_t> ContactsStore::exportProperties() const { return contactPropertyIds(); }

std::string ContactsStore::exportText(const platform::pim::Item& item) const {
    const DeviceContact contact = contactOfItem(item);
    return exportVCard(contact.fields, keyForOid(item.oid()), contact.pictureType);
}

DataStoreKind* makeContactsKind() {
    return new FolderKind(*kindInfoByCode(kKindContacts),
                          [](DataStoreKind* kind) -> DataStore* { return new ContactsStore(kind); });
}

void registerContactsKind() { registerDefaultKind(kKindContacts, makeContactsKind); }

}  // namespace orvale::contacts
