#include "engine/SessionLimits.h"

#include <algorithm>

#include "engine/BoundedNumber.h"

namespace orvale {

SessionLimits::SessionLimits(std::uint32_t configured, std::uint32_t objectSize)
    : workspace_(std::clamp(configured, kMessageSizeFloor, kWorkspaceCap)),
      incomingObject_(std::clamp(objectSize, workspace_, kIncomingObjectCap)) {}

void SessionLimits::applyServerMaxMsgSize(std::string_view text) {
    const auto value = readServerNumber(text);
    if (!value) return;
    const auto bounded = static_cast<std::int32_t>(std::max(*value, kMessageSizeFloor));
    if (bounded < negotiatedMessage_) negotiatedMessage_ = bounded;
}

void SessionLimits::applyServerMaxObjSize(std::string_view text) {
    const auto value = readServerNumber(text);
    if (!value) return;
    const std::uint32_t bounded = std::min(*value, kObjectSizeCap);
    if (bounded > negotiatedObject_) negotiatedObject_ = bounded;
}

std::uint32_t SessionLimits::effective() const {
    // Our own workspace bounds the message too: the server may allow more than we can hold.
    return std::min(workspace_, static_cast<std::uint32_t>(negotiatedMessage_));
}

}  // namespace orvale
