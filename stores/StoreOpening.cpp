#include "stores/StoreOpening.h"

#include "stores/DataStoreFactory.h"

namespace orvale {

StoreRef<DataStore> openKindStore(UnopenedKind kind) {
    if (!kind) return {};
    DataStore* store = kind->openStore(nullptr);
    if (store == nullptr) return {};
    // The store holds the kind from here on and releases it with the last store of it.
    static_cast<void>(kind.release());
    return StoreRef<DataStore>(store);
}

StoreRef<DataStore> openFolderStore(DataStoreFactory& factory, int kindCode) {
    return openKindStore(UnopenedKind(factory.createKindById(kindCode)));
}

StoreRef<DataStore> openFolderStore(DataStoreFactory& factory, const std::string& kindName) {
    return openKindStore(UnopenedKind(factory.createKindByName(kindName)));
}

}  // namespace orvale
