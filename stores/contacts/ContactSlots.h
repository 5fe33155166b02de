#pragma once
// The device holds a fixed number of telephone, e-mail and IM fields; these rules spread repeated
// vCard properties over them.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

// Which field a TEL entry ("parameters:value") fills, given whether a home or work number was
// already seen; none for types the device has no field for (VOICE, ISDN, ...). The first match of
// this order wins: home fax, work fax, home, work, cell, pager, car, assistant, radio, company.
std::optional<ContactField> telephoneField(std::string_view entry, bool homeSeen, bool workSeen);

// Every TEL entry in order. A third home or work number overwrites the second: the device keeps
// the first and the last.
void assignTelephones(const std::vector<std::string>& entries, ContactFields& fields);

// The values of the first entries, one per field; entries beyond the fields are dropped.
void assignInOrder(const std::vector<std::string>& entries, std::initializer_list<ContactField> rows,
                   ContactFields& fields);

}  // namespace orvale::contacts
