// Every outgoing message: the header from the session's template, the queued statuses and
// commands while they fit, then the exchange and the decoding of the reply.
#include "engine/BoundedNumber.h"
#include "engine/CommandKind.h"
#include "engine/CSyncClientException.h"
#include "engine/AlertCodes.h"
#include "engine/ElementSize.h"
#include "engine/MakeElement.h"
#include "engine/MessageExchange.h"
#include "engine/SessionEvents.h"
#include "engine/MessageBuilder.h"
#include "engine/SyncObserver.h"
#include "transport/ServerUrl.h"

namespace orvale {

namespace {

ElementRef<Cred> credElement(const Credential& credential) {
    auto cred = makeElement<Cred>();
    auto meta = makeElement<MetInfElem>();
    meta->setFormat(credential.format);
    meta->setType(credential.type);
    cred->setMeta(meta.get());
    cred->setData(credential.data);
    return cred;
}

// The basic form is the password itself, merely encoded; over plain http the user must know.
void reportPasswordInClear(Session& session, const Credential& credential) {
    if (session.passwordInClearReported || credential.type != kAuthBasic) return;
    const auto target = ServerUrl::parse(session.url);
    if (target && target->secure()) return;
    session.passwordInClearReported = true;
    session.observer.event(kEventPasswordInClear);
}

}  // namespace

MessageBuilder::MessageBuilder(Session& session)
    : session_(session), channel_(session.limits.workspaceSize()) {}

void MessageBuilder::restartCounters() {
    msgId_ = 1;
    cmdId_ = 1;
}

void MessageBuilder::clear() {
    pending_.clear();
    statusQueue_.clear();
    commandQueue_.clear();
    received_.clear();
    queueOverflow_ = false;
}

void MessageBuilder::startMessage() {
    auto header = makeElement<Header>();
    header->setVerDTD("1.1");
    header->setVerProto("SyncML/1.1");
    header->setSessionID(session_.sessionId);
    header->setMsgID(static_cast<std::int64_t>(msgId_));
    header->setTarget(session_.url);
    const std::optional<Authenticator>& auth = session_.auth;
    auto source = makeLocUri(session_.config.device.deviceId);
    if (auth && !auth->locName().empty()) source->setLocName(auth->locName());
    header->setSource(source.get());
    if (const Credential* credential = auth ? auth->credentialToSend() : nullptr) {
        header->setCred(credElement(*credential).get());
        reportPasswordInClear(session_, *credential);
    }
    auto meta = makeElement<MetInfElem>();
    meta->setMaxMsgSize(static_cast<std::int64_t>(session_.limits.workspaceSize()));
    header->setMeta(meta.get());

    pending_.add(msgId_, 0, PendingCommand{CommandKind::SyncHdr, ElementRef<SyncElement>(header.get()), -1, {}});
    channel_.start(*header);
    hasContent_ = false;
    newCommands_ = 0;
}

bool MessageBuilder::addToMessage(CommandKind kind, SyncElement& element) {
    if (channel_.add(kind, element) == code::Ok) {
        hasContent_ = true;
        if (kind != CommandKind::Status && kind != CommandKind::Alert) ++newCommands_;
        return true;
    }
    return false;
}

bool MessageBuilder::drainQueues() {
    while (!statusQueue_.empty()) {
        if (channel_.encodedSize() >= session_.limits.queueLimit()) return false;
        ElementRef<Status> status = statusQueue_.front();
        if (!addToMessage(CommandKind::Status, *status)) {
            // Alone in a message and still too large (an echo of outsized server data): it never
            // fits, and keeping it would stall every later message.
            if (!hasContent_) {
                session_.observer.textNumber("Status does not fit into a message: #", status->cmdIDAsInt());
                statusQueue_.pop_front();
                continue;
            }
            return false;
        }
        statusQueue_.pop_front();
    }
    while (!commandQueue_.empty()) {
        if (channel_.encodedSize() >= session_.limits.queueLimit()) return false;
        OutgoingCommand command = commandQueue_.front();
        if (!addToMessage(command.kind, *command.element)) {
            if (!hasContent_) {
                session_.observer.textNumber("Command does not fit into a message: #", command.cmdId);
                commandQueue_.pop_front();
                continue;
            }
            return false;
        }
        commandQueue_.pop_front();
        pending_.add(msgId_, command.cmdId, PendingCommand{command.kind, command.element, command.folder, {}});
    }
    return true;
}

void MessageBuilder::sendAndReceive(bool final) {
    const std::string request = channel_.finish(final);
    session_.observer.event(kEventMessageSending);
    const std::string reply = exchangeMessage(session_.transport, session_.url, request, session_.limits.replyLimit());
    answeredMsgId_ = msgId_;
    channel_.decode(reply, received_);
}

std::optional<PendingCommand> MessageBuilder::answeredCommand(const Status& status, int& code) {
    const auto msgRef = readServerNumber(status.msgRef());
    const auto cmdRef = readServerNumber(status.cmdRef());
    std::optional<PendingCommand> command;
    if (msgRef && cmdRef) command = pending_.take(*msgRef, *cmdRef);
    if (!command) {
        // A reference to something we never sent is the server's confusion; acting on it could
        // acknowledge the wrong item.
        session_.observer.text("Command was not found for command #" + status.cmdRef());
        return std::nullopt;
    }
    code = static_cast<int>(readServerNumber(status.data(), 999).value_or(0));
    if (code < 200 || code > 299) {
        std::string item = command->itemKey;
        const PCDataList* refs = status.targetRefs() != nullptr ? status.targetRefs() : status.sourceRefs();
        if (item.empty() && refs != nullptr && refs->size() > 0 && refs->at(0) != nullptr) item = refs->at(0)->bytes();
        session_.observer.commandRefused(commandName(command->kind), item, code);
    }
    return command;
}

// Past the bound the session ends after the message under handling; its answers are still held
// until then, since their callers fill them in after queueing.
void MessageBuilder::queueStatus(ElementRef<Status> status) {
    statusQueue_.push_back(std::move(status));
    if (statusQueue_.size() + commandQueue_.size() > kMaxQueuedCommands) queueOverflow_ = true;
}

void MessageBuilder::queueCommand(CommandKind kind, ElementRef<SyncElement> element, std::uint32_t id, int folder) {
    commandQueue_.push_back(OutgoingCommand{kind, std::move(element), id, folder});
    if (statusQueue_.size() + commandQueue_.size() > kMaxQueuedCommands) queueOverflow_ = true;
}

bool MessageBuilder::queuedPastBound() const {
    if (queueOverflow_) return true;
    std::uint64_t bytes = 0;
    for (const auto& s : statusQueue_) bytes += encodedSizeEstimate(*s);
    for (const auto& c : commandQueue_) bytes += encodedSizeEstimate(*c.element);
    return bytes > kMaxQueuedBytes;
}

ElementRef<Status> MessageBuilder::newStatus(const std::string& msgRef, const std::string& cmdRef, CommandKind kind,
                                             int code) {
    auto status = makeElement<Status>();
    status->setCmdID(static_cast<std::int64_t>(nextCmdId()));
    status->setMsgRef(msgRef);
    status->setCmdRef(cmdRef);
    status->setCmd(commandName(kind));
    status->setData(static_cast<std::int64_t>(code));
    return status;
}

void MessageBuilder::queueNextMessageAlert() {
    auto alert = makeElement<Alert>();
    const std::uint32_t id = nextCmdId();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(kAlertNextMessage);
    auto item = makeElement<ItemElement>();
    item->setTarget(makeLocUri(session_.url).get());
    item->setSource(makeLocUri(session_.config.device.deviceId).get());
    alert->addItems(item.get());
    queueCommand(CommandKind::Alert, std::move(alert), id);
}

}  // namespace orvale
