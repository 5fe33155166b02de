#include "stores/StoreKinds.h"

#include "stores/calendar/CalendarStore.h"
#include "stores/contacts/ContactsStore.h"
#include "stores/tasks/TasksStore.h"

namespace orvale {

void registerStoreKinds() {
    contacts::registerContactsKind();
    tasks::registerTasksKind();
    calendar::registerCalendarKind();
}

}  // namespace orvale
