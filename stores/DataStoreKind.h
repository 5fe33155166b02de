#pragma once
// A store kind (contacts, calendar, tasks). It lives while stores of it are open and goes with the
// last of them; a kind that never opened a store is released by its creator.
#include <cstdint>
#include <string>

#include "syncml/ContentType.h"

namespace orvale {

class DataStore;

class DataStoreKind {
public:
    virtual ~DataStoreKind() = default;
    virtual std::string kindName() const = 0;
    virtual std::string sourceUri() const { return "./" + kindName(); }
    virtual ContentType contentType() const = 0;
    virtual DataStore* openStore(void* context) = 0;
    virtual void slot5() {}
    virtual void slot6() {}
    virtual void addRef() { ++openStores_; }

    void storeOpened() { ++openStores_; }
    void storeClosed() {
        if (--openStores_ < 1) delete this;
    }
    int32_t openStores() const { return openStores_; }

private:
    int32_t openStores_ = 0;
};

}  // namespace orvale
