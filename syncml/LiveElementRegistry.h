#pragma once
// Mirrors the reference count of every live element object, so tests can see that releasing a
// message frees each element exactly once. Nothing in the product reads it, so it mirrors only
// while a test has switched it on: a locked map update for every element of every message cost a
// received item more than its parse.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

namespace orvale {

class CountedObject;

class LiveElementRegistry {
public:
    static LiveElementRegistry& instance();

    // Objects made while mirroring is off are never listed; their counts are not followed.
    static void setMirroring(bool on) { mirroring_.store(on, std::memory_order_relaxed); }
    static bool mirroring() { return mirroring_.load(std::memory_order_relaxed); }

    void insert(const CountedObject* object);
    void remove(const CountedObject* object);
    void adjust(const CountedObject* object, std::int32_t delta);

    std::size_t liveCount() const;
    bool contains(const CountedObject* object) const;
    // The mirrored count; -1 when the object is not registered.
    std::int32_t count(const CountedObject* object) const;

private:
    static inline std::atomic<bool> mirroring_{false};
    mutable std::mutex mutex_;
    std::map<const CountedObject*, std::int32_t> counts_;
};

}  // namespace orvale
