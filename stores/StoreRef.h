#pragma once
// An owning handle for store-side objects (stores, items, item lists): their count starts at 1,
// so a handle adopts the creator's reference.
#include <utility>

namespace orvale {

template <class T>
class StoreRef {
public:
    StoreRef() = default;
    explicit StoreRef(T* adopted) : p_(adopted) {}
    StoreRef(const StoreRef&) = delete;
    StoreRef& operator=(const StoreRef&) = delete;
    StoreRef(StoreRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    StoreRef& operator=(StoreRef&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~StoreRef() { reset(); }

    void reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace orvale
