#pragma once
// How single vCard values are cut into, and rebuilt from, the device's contact fields. Pure text
// rules: no device, no codec.
#include <string>
#include <string_view>

#include "stores/contacts/ContactPropertyTable.h"

namespace orvale::contacts {

// The value part of a property entry ("parameters:value"): everything after the first ":".
std::string_view entryValue(std::string_view entry);
// The parameter part of an entry: everything before the first ":".
std::string_view entryParameters(std::string_view entry);

// N: family, given, additional, prefix, suffix; missing components leave their fields empty.
void cutName(std::string_view value, ContactFields& fields);

// ORG: organisation and unit. A component of fewer than two characters is not taken.
void cutOrganisation(std::string_view value, ContactFields& fields);

// ADR entry into the home, work or other address fields by its parameters. The post office box is
// not kept; the extended address becomes the street's second line.
void cutAddress(std::string_view entry, ContactFields& fields);

// The device keeps a sound as a device path ("\Windows\ring.wav"); vCards carry "file///Windows/...".
std::string soundForDevice(std::string_view vcardValue);
std::string soundForVCard(std::string_view devicePath);

// Drops one final CR LF: the device ends notes and imported streets with a line break that is no
// part of the value and would otherwise grow by one on every round trip.
std::string_view withoutFinalLineBreak(std::string_view text);

}  // namespace orvale::contacts
