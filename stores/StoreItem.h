#pragma once
// One entry of a synchronised folder as the engine sees it: a key and a vCard or vCalendar text.
#include <cstddef>
#include <string>

#include "stores/StoreCounted.h"
#include "syncml/ContentType.h"

namespace orvale {

class StoreItem : public StoreCounted {
public:
    virtual const std::string& key() const = 0;
    virtual int slot2() { return 0; }
    virtual size_t dataSize() const = 0;
    virtual ContentType contentType() const = 0;
    virtual ContentType preferredType(const ContentType& type) { return type; }
    virtual bool setData(const std::string& text) = 0;
    virtual const char* data() const = 0;
    virtual int slot8() { return 0; }
    virtual int slot9() { return 0; }
    virtual int slot10(int a, int b) { return slot11(a, b); }
    virtual int slot11(int, int) { return 0; }
    virtual int slot12() { return 0; }
    virtual void slot13() {}
    virtual void release() { releaseCount(); }
    virtual StoreItem* addRef() {
        addRefCount();
        return this;
    }
};

}  // namespace orvale
