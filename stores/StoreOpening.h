#pragma once
// A folder's store opened through its kind. Once a store is open it keeps its kind alive; a kind
// that opened no store is its creator's to release, which these helpers do.
#include <memory>
#include <string>

#include "stores/DataStore.h"
#include "stores/DataStoreKind.h"
#include "stores/StoreRef.h"

namespace orvale {

class DataStoreFactory;

// A kind object that has not opened a store yet.
using UnopenedKind = std::unique_ptr<DataStoreKind>;

// The opened store of the kind; empty when the kind is unknown or its store does not open.
StoreRef<DataStore> openKindStore(UnopenedKind kind);
StoreRef<DataStore> openFolderStore(DataStoreFactory& factory, int kindCode);
StoreRef<DataStore> openFolderStore(DataStoreFactory& factory, const std::string& kindName);

}  // namespace orvale
