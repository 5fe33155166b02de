#pragma once
// A contact's fields as vCard 2.1 text, and back.
#include <optional>
#include <string>
#include <string_view>

#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

// UID carries the key (none for an empty key); PHOTO is typed by `pictureType`.
std::string exportVCard(const ContactFields& fields, std::string_view key, std::string_view pictureType);

// None when the text is no complete vCard.
std::optional<ContactFields> importVCard(std::string_view text);

}  // namespace orvale::contacts
