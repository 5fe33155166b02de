#pragma once
// The device's contacts folder as the store of kind WinMobileContacts.
#include "stores/FolderStore.h"
#include "stores/KindCode.h"
#include "stores/contacts/ContactPicture.h"

namespace orvale::contacts {

class ContactsStore final : public FolderStore {
public:
    explicit ContactsStore(DataStoreKind* kind);
    StoreItem* newItem() override;

protected:
    StoreItem* readItem(const std::string& key) override;
    bool buildsFromDevice() const override { return true; }
    StoreItem* itemFromDevice(const std::string& key, const platform::pim::Item* device) override;
    TrackerProfile trackerProfile() const override;
    // A contact's content is its fields as the device read gives them, picture included.
    std::optional<std::string> contentOfText(const std::string& text) override;
    std::string contentOfItem(const platform::pim::Item& item) const override;
    std::vector<uint32_t> contentProperties() const override;
    std::vector<uint32_t> exportProperties() const override;
    std::string exportText(const platform::pim::Item& item) const override;

private:
    PictureFetcher fetch_;
};

// A new contacts kind, as the kind registry makes it.
DataStoreKind* makeContactsKind();
// Puts the contacts kind into the kind registry unless one is there already.
void registerContactsKind();

}  // namespace orvale::contacts
