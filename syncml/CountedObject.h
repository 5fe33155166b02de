#pragma once
// Root of the element objects: a diagnostic name and a reference count that starts at 0. Whoever
// stores an object calls addRef; the release that brings the count to 0 deletes it.
#include <cstdint>

namespace orvale {

class CountedObject {
public:
    explicit CountedObject(const char* objectName);
    virtual ~CountedObject();
    CountedObject(const CountedObject&) = delete;
    CountedObject& operator=(const CountedObject&) = delete;

    virtual void addRef();
    virtual void release();

    const char* objectName() const { return objectName_; }
    std::int32_t referenceCount() const { return referenceCount_; }

private:
    const char* objectName_;
    std::int32_t referenceCount_ = 0;
};

}  // namespace orvale
