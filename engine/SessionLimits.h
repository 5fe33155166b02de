#pragma once
// The sizes a session works within: our workspace, and what the server's SyncHdr Meta negotiates.
// The server's values are bounded so that a hostile or broken server can neither starve a message
// of room nor make us build one larger than our workspace.
#include <cstdint>
#include <string_view>

namespace orvale {

inline constexpr std::uint32_t kWorkspaceCap = 204800;
// Room for a header with credentials, the closing elements and at least one small item.
inline constexpr std::uint32_t kMessageSizeFloor = 2048;
inline constexpr std::uint32_t kInitialObjectSize = 65536;
inline constexpr std::uint32_t kObjectSizeCap = 4 * 1024 * 1024;
// No configuration makes us hold more of one incoming large object than this.
inline constexpr std::uint32_t kIncomingObjectCap = 16 * 1024 * 1024;

class SessionLimits {
public:
    // `configured` is the configured maximum message size; the workspace is that, capped.
    // `objectSize` is the largest item we take in chunks, capped.
    explicit SessionLimits(std::uint32_t configured, std::uint32_t objectSize = kObjectSizeCap);

    // Only a smaller value than the current one counts; it never goes below the floor.
    void applyServerMaxMsgSize(std::string_view text);
    // Only a larger value than the current one counts; it never goes above the cap.
    void applyServerMaxObjSize(std::string_view text);

    std::uint32_t workspaceSize() const { return workspace_; }
    std::int32_t negotiatedMessageSize() const { return negotiatedMessage_; }
    std::uint32_t negotiatedObjectSize() const { return negotiatedObject_; }

    // Encoded size below which queued statuses and commands are still added to a message.
    std::uint32_t queueLimit() const { return effective() - 1024; }
    // Encoded size a message may reach with the folder's items.
    std::uint32_t itemsLimit() const { return effective() - 500; }
    // An item larger than this never fits into a message of its own.
    std::uint32_t itemLimit() const { return itemsLimit() - 1024; }
    // The largest reply we accept.
    std::uint32_t replyLimit() const { return workspace_; }
    // What we announce as MaxObjSize and the most an incoming large object may declare.
    std::uint32_t incomingObjectLimit() const { return incomingObject_; }

private:
    std::uint32_t effective() const;

    std::uint32_t workspace_;
    std::uint32_t incomingObject_;
    std::int32_t negotiatedMessage_ = static_cast<std::int32_t>(kWorkspaceCap);
    std::uint32_t negotiatedObject_ = kInitialObjectSize;
};

}  // namespace orvale
