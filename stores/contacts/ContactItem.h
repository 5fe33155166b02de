#pragma once
// One contact as the engine sees it: its key and its vCard 2.1 text.
#include <string>

#include "platform/pim/PimSession.h"
#include "stores/TextItem.h"
#include "stores/contacts/ContactDevice.h"
#include "stores/contacts/ContactPicture.h"

namespace orvale::contacts {

class ContactItem final : public TextItem {
public:
    // A contact that is not on the device yet: no key, no text until setData stores it.
    explicit ContactItem(PictureFetcher fetch);
    // Reads the contact from the device at once. A key that names no contact gives a vCard that
    // holds only VERSION.
    ContactItem(const std::string& key, PictureFetcher fetch);
    // The same from the device item read for the key already (null: the device has none).
    ContactItem(const std::string& key, const platform::pim::Item* device, PictureFetcher fetch);

    ContentType contentType() const override;
    // Parses the vCard and writes it to the device; a new contact receives its key here. False when
    // the text is no vCard or the device did not take the write: the server must not be told an
    // item is stored that is not.
    bool setData(const std::string& text) override;

private:
    void exportFrom(const DeviceContact& contact);

    PictureFetcher fetch_;
};

}  // namespace orvale::contacts
