#pragma once
// The session's toolkit instance: encodes one outgoing message at a time into the workspace and
// decodes each reply into a ReceivedMessage. Toolkit failures become CSyncClientException.
#include <cstdint>
#include <string>

#include "engine/CommandKind.h"
#include "engine/ReceivedMessage.h"
#include "syncml/CommandElements.h"
#include "syncml/Toolkit.h"

namespace orvale {

class MessageChannel {
public:
    explicit MessageChannel(std::uint32_t workspaceSize);
    ~MessageChannel();
    MessageChannel(const MessageChannel&) = delete;
    MessageChannel& operator=(const MessageChannel&) = delete;

    void start(const Header& header);
    // Ok, or BufferFull when the command did not fit (nothing of it stays); other codes throw.
    ToolkitCode add(CommandKind kind, const SyncElement& command);
    ToolkitCode startSync(const StartSync& sync);
    ToolkitCode endSync();
    // Bytes an Add or Replace would add to the message under construction; nothing is added.
    std::uint32_t sizeOf(CommandKind kind, const SyncElement& command) const;
    // Bytes encoded so far in the message under construction.
    std::uint32_t encodedSize() const;
    // Closes the message and takes its bytes out of the workspace.
    std::string finish(bool final);

    // Decodes a reply that fits into the workspace.
    void decode(const std::string& reply, ReceivedMessage& out);

private:
    ToolkitCode checked(ToolkitCode c) const;

    toolkit::InstanceId id_ = 0;
    ReceivedMessage received_;
    bool open_ = false;
};

}  // namespace orvale
