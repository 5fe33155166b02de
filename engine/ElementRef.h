#pragma once
// Owning handles for the two reference-counting conventions the engine juggles: element objects
// (count starts at 0, so holding one means addRef) and store objects (count starts at 1, so a handle
// adopts the creator's reference; see stores/StoreRef.h).
#include <utility>

#include "stores/StoreRef.h"

namespace orvale {

template <class T>
class ElementRef {
public:
    ElementRef() = default;
    explicit ElementRef(T* p) : p_(p) {
        if (p_ != nullptr) p_->addRef();
    }
    ElementRef(const ElementRef& o) : ElementRef(o.p_) {}
    ElementRef(ElementRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    ElementRef(ElementRef<U>&& o) noexcept : p_(o.detach()) {}
    ElementRef& operator=(ElementRef o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ElementRef() { reset(); }

    void reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->release();
    }
    // Hands the reference over to the caller.
    T* detach() { return std::exchange(p_, nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

template <class T>
ElementRef<T> hold(T* p) {
    return ElementRef<T>(p);
}

}  // namespace orvale
