#include "syncml/CountedObject.h"

#include "syncml/LiveElementRegistry.h"

namespace orvale {

CountedObject::CountedObject(const char* objectName) : objectName_(objectName) {
    LiveElementRegistry::instance().insert(this);
}

CountedObject::~CountedObject() = default;

void CountedObject::addRef() {
    ++referenceCount_;
    LiveElementRegistry::instance().adjust(this, 1);
}

void CountedObject::release() {
    --referenceCount_;
    LiveElementRegistry::instance().adjust(this, -1);
    if (referenceCount_ <= 0) {
        LiveElementRegistry::instance().remove(this);
        delete this;
    }
}

}  // namespace orvale
