#pragma once
// A device contact as an Evolution Data Server contact (EContact) and back. The fields other
// programs show (names, phones, e-mails, addresses, company, title, notes, dates, web page,
// picture) map to EContact's own fields; the device properties EContact has no field for travel
// in private X-ORVALE-P-<identifier> attributes, so nothing the device holds is lost on the way.
#include <string_view>

#include "platform/pim/eds/ItemContent.h"

struct _EContact;

namespace orvale::platform::pim::eds {

// A new contact (the caller owns the reference) holding the item's properties and picture, with
// `uid` as its UID.
_EContact* contactFromItem(const ItemContent& item, std::string_view uid);
// The device properties a contact holds.
ItemContent itemFromContact(_EContact* contact);

}  // namespace orvale::platform::pim::eds
