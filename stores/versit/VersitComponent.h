#pragma once
// One BEGIN/END block (VCARD, VCALENDAR, VEVENT, VTODO, VALARM...) with its properties and the
// blocks nested in it.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stores/versit/VersitProperty.h"

namespace orvale {

class VersitComponent;
// Components in document order; the list owns them. Each also knows its next sibling, so a caller can
// walk the tree without the list.
using VersitComponentList = std::vector<std::unique_ptr<VersitComponent>>;
// One entry per property name, in byte order of the names (the order they are written in).
using VersitPropertyMap = std::map<std::string, VersitProperty, std::less<>>;

class VersitComponent {
public:
    VersitComponent(std::string name, VersitComponent* parent);
    VersitComponent(const VersitComponent&) = delete;
    VersitComponent& operator=(const VersitComponent&) = delete;

    const std::string& name() const { return name_; }
    VersitComponent* parent() const { return parent_; }
    VersitComponent* nextSibling() const { return next_; }
    const VersitComponentList& children() const { return children_; }
    VersitComponent* firstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    VersitComponent* lastChild() const { return children_.empty() ? nullptr : children_.back().get(); }

    const VersitPropertyMap& properties() const { return properties_; }
    // The first property of that name (its repeats hang on it), or null.
    const VersitProperty* property(std::string_view name) const;
    // A new entry, or a repeat of the entry that already has this name.
    void addProperty(VersitProperty property);

    VersitComponent& addChild(std::string name);
    // The first child with exactly this name, or null.
    const VersitComponent* child(std::string_view name) const;

    bool closed() const { return closed_; }
    void close() { closed_ = true; }

    // Appends a component to a list of siblings (the children of a component, or the top level of a
    // document) and links it as the next sibling of the one before.
    static VersitComponent& append(VersitComponentList& list, std::string name, VersitComponent* parent);

private:
    std::string name_;
    VersitComponent* parent_;
    VersitComponent* next_ = nullptr;
    VersitComponentList children_;
    VersitPropertyMap properties_;
    bool closed_ = false;
};

}  // namespace orvale
