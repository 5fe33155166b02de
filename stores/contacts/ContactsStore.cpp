#include "stores/contacts/ContactsStore.h"

#include "stores/FolderKind.h"
#include "stores/contacts/ContactItem.h"
#include "stores/contacts/ContactTracking.h"
#include "stores/contacts/PictureDownload.h"

namespace orvale::contacts {

ContactsStore::ContactsStore(DataStoreKind* kind)
    : FolderStore(kind, *kindInfoByCode(kContactsKindCode)), fetch_(httpPictureFetcher()) {}

StoreItem* ContactsStore::newItem() { return new ContactItem(fetch_); }

StoreItem* ContactsStore::readItem(const std::string& key) { return new ContactItem(key, fetch_); }

TrackerProfile ContactsStore::trackerProfile() const { return contactTrackerProfile(); }

DataStoreKind* makeContactsKind() {
    return new FolderKind(*kindInfoByCode(kContactsKindCode),
                          [](DataStoreKind* kind) -> DataStore* { return new ContactsStore(kind); });
}

void registerContactsKind() { registerDefaultKind(kContactsKindCode, makeContactsKind); }

}  // namespace orvale::contacts
