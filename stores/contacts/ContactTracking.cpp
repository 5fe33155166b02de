#include "stores/contacts/ContactTracking.h"

#include "platform/pim/PimTypes.h"
#include "stores/contacts/ContactPicture.h"
#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

namespace {
// The picture's Base64 as exported, one unit per byte.
std::u16string pictureText(platform::pim::Item& item, const std::vector<platform::pim::PropValue>&) {
    const std::string base64 = pictureForVCard(item.picture()).base64;
    return std::u16string(base64.begin(), base64.end());
}
}  // namespace

TrackerProfile contactTrackerProfile() {
    TrackerProfile profile;
    profile.folder = platform::pim::kFolderContacts;
    for (const ContactProperty& p : contactPropertyTable()) {
        switch (p.kind) {
            case ContactFieldKind::Text:
                profile.rows.push_back({p.identifier, RowKind::Text});
                break;
            case ContactFieldKind::Date:
                profile.rows.push_back({p.identifier, RowKind::Time});
                break;
            case ContactFieldKind::Picture:
                break;  // added whole after the rows
        }
    }
    profile.extraText = pictureText;
    return profile;
}

}  // namespace orvale::contacts
