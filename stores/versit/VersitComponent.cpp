#include "stores/versit/VersitComponent.h"

namespace orvale {

VersitComponent::VersitComponent(std::string name, VersitComponent* parent)
    : name_(std::move(name)), parent_(parent) {}

const VersitProperty* VersitComponent::property(std::string_view name) const {
    const auto it = properties_.find(name);
    return it == properties_.end() ? nullptr : &it->second;
}

void VersitComponent::addProperty(VersitProperty property) {
    const auto it = properties_.find(property.name());
    if (it != properties_.end()) {
        it->second.addRepeat(std::move(property));
        return;
    }
    std::string key = property.name();
    properties_.emplace(std::move(key), std::move(property));
}

VersitComponent& VersitComponent::addChild(std::string name) { return append(children_, std::move(name), this); }

const VersitComponent* VersitComponent::child(std::string_view name) const {
    for (const auto& c : children_) {
        if (c->name() == name) return c.get();
    }
    return nullptr;
}

VersitComponent& VersitComponent::append(VersitComponentList& list, std::string name, VersitComponent* parent) {
    auto component = std::make_unique<VersitComponent>(std::move(name), parent);
    VersitComponent& added = *component;
    if (!list.empty()) list.back()->next_ = &added;
    list.push_back(std::move(component));
    return added;
}

}  // namespace orvale
