#include "syncml/CountedObject.h"

#include "syncml/LiveElementRegistry.h"

namespace orvale {

CountedObject::CountedObject(const char* objectName) : objectName_(objectName) {
    if (LiveElementRegistry::mirroring()) LiveElementRegistry::instance().insert(this);
}

CountedObject::~CountedObject() = default;

void CountedObject::addRef() {
    ++referenceCount_;
    if (LiveElementRegistry::mirroring()) LiveElementRegistry::instance().adjust(this, 1);
}

void CountedObject::release() {
    --referenceCount_;
    const bool mirrored = LiveElementRegistry::mirroring();
    if (mirrored) LiveElementRegistry::instance().adjust(this, -1);
    if (referenceCount_ <= 0) {
        if (mirrored) LiveElementRegistry::instance().remove(this);
        delete this;
    }
}

}  // namespace orvale
