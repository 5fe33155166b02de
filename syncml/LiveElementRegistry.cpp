#include "syncml/LiveElementRegistry.h"

namespace orvale {

LiveElementRegistry& LiveElementRegistry::instance() {
    static LiveElementRegistry registry;
    return registry;
}

void LiveElementRegistry::insert(const CountedObject* object) {
    std::lock_guard lock(mutex_);
    counts_[object] = 0;
}

void LiveElementRegistry::remove(const CountedObject* object) {
    std::lock_guard lock(mutex_);
    counts_.erase(object);
}

void LiveElementRegistry::adjust(const CountedObject* object, std::int32_t delta) {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(object);
    if (it != counts_.end()) it->second += delta;
}

std::size_t LiveElementRegistry::liveCount() const {
    std::lock_guard lock(mutex_);
    return counts_.size();
}

bool LiveElementRegistry::contains(const CountedObject* object) const {
    std::lock_guard lock(mutex_);
    return counts_.count(object) != 0;
}

std::int32_t LiveElementRegistry::count(const CountedObject* object) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(object);
    return it == counts_.end() ? -1 : it->second;
}

}  // namespace orvale
