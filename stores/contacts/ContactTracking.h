#pragma once
// What the change tracker reads of a contact: the table's text and date rows and, apart from
// them, the exported picture.
#include "stores/ChangeTracker.h"

namespace orvale::contacts {

TrackerProfile contactTrackerProfile();

}  // namespace orvale::contacts
