#include "stores/StoreKinds.h"

#include "stores/calendar/CalendarStore.h"
#include "stores/contacts/ContactsStore.h"

namespace orvale {

// Tasks joins here when its store exists.
void registerStoreKinds() {
    contacts::registerContactsKind();
    calendar::registerCalendarKind();
}

}  // namespace orvale
