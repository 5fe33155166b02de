#pragma once
// The device's items kept in Evolution Data Server: the chosen address book, calendar and task
// list, with a table of our own that gives every EDS item a 32-bit object identifier.
#include <memory>
#include <string>

#include "platform/pim/PimSession.h"
#include "platform/pim/StoreChoice.h"

namespace orvale::platform::pim {

class Backend;

// Connects to the chosen sources and opens <root>/eds-ids.db, settling what a run that died left
// half-written. Null, with `why`, when a source or the table cannot be opened.
std::unique_ptr<Backend> openEdsBackend(const StoreChoice& choice, Session::Access access, std::string* why);

}  // namespace orvale::platform::pim
