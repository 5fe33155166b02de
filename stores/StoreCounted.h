#pragma once
// Store-side objects start with one reference held by their creator and go when release() takes the
// count below 1 (the element objects of the message model use the other convention: start at 0).
#include <cstdint>

namespace orvale {

class StoreCounted {
public:
    virtual ~StoreCounted() = default;
    void addRefCount() { ++refCount_; }
    // Returns true when the object was destroyed.
    bool releaseCount() {
        if (--refCount_ < 1) {
            delete this;
            return true;
        }
        return false;
    }
    int32_t refCount() const { return refCount_; }

private:
    int32_t refCount_ = 1;
};

}  // namespace orvale
