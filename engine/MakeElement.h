#pragma once
// Elements of outgoing messages are made here and held from the start (see ElementRef.h): a parent
// element's setter adds the parent's reference, and the element goes with its last holder.
#include <string>
#include <utility>

#include "engine/ElementRef.h"
#include "syncml/CommandElements.h"

namespace orvale {

template <class T, class... Args>
ElementRef<T> makeElement(Args&&... args) {
    return ElementRef<T>(new T(std::forward<Args>(args)...));
}

// A Target or Source naming `uri`.
inline ElementRef<SourceOrTarget> makeLocUri(const std::string& uri) { return makeElement<SourceOrTarget>(uri); }

}  // namespace orvale
