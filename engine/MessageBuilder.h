#pragma once
// The session's messages: the queues of statuses and commands waiting for room, the registry of
// what was sent and is not answered yet, the message and command counters, and the reply last
// received. Every outgoing message is built, sent and answered here.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "engine/CommandKind.h"
#include "engine/ElementRef.h"
#include "engine/MessageChannel.h"
#include "engine/PendingRegistry.h"
#include "engine/ReceivedMessage.h"
#include "engine/Session.h"
#include "syncml/CommandElements.h"

namespace orvale {

struct OutgoingCommand {
    CommandKind kind;
    ElementRef<SyncElement> element;
    std::uint32_t cmdId = 0;
    int folder = -1;
};

class MessageBuilder {
public:
    explicit MessageBuilder(Session& session);

    // A new session numbers its messages and commands from 1.
    void restartCounters();
    // Nothing of one session may leak into the next one.
    void clear();

    std::uint32_t nextCmdId() { return cmdId_++; }
    // The command counter itself, for builders that number several commands at once.
    std::uint32_t& cmdIdCounter() { return cmdId_; }
    std::uint32_t msgId() const { return msgId_; }

    // Starts the next message with the session's header.
    void startMessage();
    // Adds queued statuses, then queued commands, while they fit; true when nothing stays queued.
    bool drainQueues();
    // Adds one element of the message; false when it did not fit (it is then dropped when it could
    // never fit, see the file).
    bool addToMessage(CommandKind kind, SyncElement& element);
    // Something besides the header went into the message under construction.
    bool hasContent() const { return hasContent_; }
    void markContent() { hasContent_ = true; }
    // Commands of the message under construction that carry something new for the server: changes
    // and their chunks, Maps, device information (not Statuses, not Alerts).
    std::size_t newCommands() const { return newCommands_; }
    // Closes the message, sends it and decodes the reply into `received()`.
    void sendAndReceive(bool final);
    // The server's messages are numbered in step with ours: its reply answered our last message.
    void replyTaken() { ++msgId_; }
    std::uint32_t answeredMsgId() const { return answeredMsgId_; }
    ReceivedMessage& received() { return received_; }
    MessageChannel& channel() { return channel_; }
    PendingRegistry& pending() { return pending_; }

    // The command a received Status answers, taken from the pending registry, and the Status's code;
    // none (reported) when we never sent such a command.
    std::optional<PendingCommand> answeredCommand(const Status& status, int& code);
    // Past the bound on what a session queues for its next message (kMaxQueuedCommands,
    // kMaxQueuedBytes) the session ends after the message under handling; the answers are still
    // held until then, since their callers fill them in after queueing.
    void queueStatus(ElementRef<Status> status);
    void queueCommand(CommandKind kind, ElementRef<SyncElement> element, std::uint32_t id, int folder = -1);
    bool queuedPastBound() const;
    static constexpr std::size_t kMaxQueuedCommands = 20'000;
    static constexpr std::uint64_t kMaxQueuedBytes = 8u << 20;
    ElementRef<Status> newStatus(const std::string& msgRef, const std::string& cmdRef, CommandKind kind, int code);
    // The session's Alert 222: the server is asked for its next message.
    void queueNextMessageAlert();
    bool commandsQueued() const { return !commandQueue_.empty(); }
    std::size_t statusesQueued() const { return statusQueue_.size(); }

private:
    Session& session_;
    MessageChannel channel_;
    PendingRegistry pending_;
    std::deque<ElementRef<Status>> statusQueue_;
    std::deque<OutgoingCommand> commandQueue_;
    ReceivedMessage received_;
    std::uint32_t msgId_ = 1;
    std::uint32_t cmdId_ = 1;
    // Message ID of the client message the last reply answered.
    std::uint32_t answeredMsgId_ = 0;
    bool hasContent_ = false;
    std::size_t newCommands_ = 0;
    bool queueOverflow_ = false;
};

}  // namespace orvale
