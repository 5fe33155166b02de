#include "stores/StoreKinds.h"

#include "stores/contacts/ContactsStore.h"

namespace orvale {

// Tasks and calendar join here when their stores exist.
void registerStoreKinds() { contacts::registerContactsKind(); }

}  // namespace orvale
