// Every outgoing message: the header from the session's template, the queued statuses and
// commands while they fit, then the exchange and the decoding of the reply.
#include "engine/BoundedNumber.h"
#include "engine/CSyncClientException.h"
#include "engine/AlertCodes.h"
#include "engine/MessageExchange.h"
#include "engine/SessionEvents.h"
#include "engine/MessageBuilder.h"
#include "engine/SyncObserver.h"
#include "syncml/RecordLayout.h"

namespace orvale {

namespace {

Cred* credElement(const Credential& credential) {
    auto* cred = new Cred();
    auto* meta = new MetInfElem();
    meta->setFormat(credential.format);
    meta->setType(credential.type);
    cred->setMeta(meta);
    cred->setData(credential.data);
    return cred;
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
    auto header = hold(new Header());
    header->setVerDTD("1.1");
    header->setVerProto("SyncML/1.1");
    header->setSessionID(session_.sessionId);
    header->setMsgID(static_cast<std::int64_t>(msgId_));
    header->setTarget(session_.url);
    const std::optional<Authenticator>& auth = session_.auth;
    auto* source = new SourceOrTarget(session_.config.device.deviceId);
    if (auth && !auth->locName().empty()) source->setLocName(auth->locName());
    header->setSource(source);
    if (const Credential* credential = auth ? auth->credentialToSend() : nullptr) header->setCred(credElement(*credential));
    auto* meta = new MetInfElem();
    meta->setMaxMsgSize(static_cast<std::int64_t>(session_.limits.workspaceSize()));
    header->setMeta(meta);

    pending_.add(msgId_, 0, PendingCommand{CommandKind::SyncHdr, ElementRef<SyncElement>(header.get()), -1, {}});
    channel_.start(*header);
    hasContent_ = false;
}

bool MessageBuilder::addToMessage(CommandKind kind, SyncElement& element) {
    if (channel_.add(kind, element) == code::Ok) {
        hasContent_ = true;
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
    return command;
}

namespace {

std::uint64_t recordBytes(const RecordLayout& s, const void* record, int depth);

// About what a text takes encoded; nested documents are counted through their own records.
std::uint64_t pcdataBytes(const PcdataRecord* p, int depth) {
    if (p == nullptr) return 0;
    if (p->contentType != pcdata_type::Extension) return 4 + p->length;
    if (p->extension == extension_kind::MetInf) return recordBytes(layout::metInf, p->content, depth + 1);
    if (p->extension == extension_kind::DevInf) return recordBytes(layout::devInf, p->content, depth + 1);
    return 4;
}

std::uint64_t recordBytes(const RecordLayout& s, const void* record, int depth) {
    if (record == nullptr || depth > 64) return 0;
    std::uint64_t bytes = 2;
    for (std::size_t i = 0; i < s.fieldCount; ++i) {
        const FieldLayout& f = s.fields[i];
        const void* p = f.kind == FieldKind::Flag ? nullptr : loadPointer(record, f.offset);
        switch (f.kind) {
            case FieldKind::Flag: bytes += 1; break;
            case FieldKind::Pcdata: bytes += pcdataBytes(static_cast<const PcdataRecord*>(p), depth); break;
            case FieldKind::Record: bytes += recordBytes(*f.child, p, depth + 1); break;
            case FieldKind::RecordList:
            case FieldKind::CtCapBlock:
            case FieldKind::PcdataList:
                for (auto* n = static_cast<const ListNode*>(p); n != nullptr; n = n->next) {
                    bytes += f.kind == FieldKind::PcdataList ? pcdataBytes(static_cast<const PcdataRecord*>(n->element), depth)
                                                             : recordBytes(*f.child, n->element, depth + 1);
                }
                break;
        }
    }
    return bytes;
}

std::uint64_t elementBytes(const SyncElement& e) {
    return e.layout() != nullptr ? recordBytes(*e.layout(), e.record(), 0) : 64;
}

}  // namespace

// Past the bound the session ends after the message under handling; its answers are still held
// until then, since their callers fill them in after queueing.
void MessageBuilder::queueStatus(Status* status) {
    statusQueue_.push_back(ElementRef<Status>(status));
    if (statusQueue_.size() + commandQueue_.size() > kMaxQueuedCommands) queueOverflow_ = true;
}

void MessageBuilder::queueCommand(CommandKind kind, SyncElement* element, std::uint32_t id, int folder) {
    commandQueue_.push_back(OutgoingCommand{kind, ElementRef<SyncElement>(element), id, folder});
    if (statusQueue_.size() + commandQueue_.size() > kMaxQueuedCommands) queueOverflow_ = true;
}

bool MessageBuilder::queuedPastBound() const {
    if (queueOverflow_) return true;
    std::uint64_t bytes = 0;
    for (const auto& s : statusQueue_) bytes += elementBytes(*s);
    for (const auto& c : commandQueue_) bytes += elementBytes(*c.element);
    return bytes > kMaxQueuedBytes;
}

Status* MessageBuilder::newStatus(const std::string& msgRef, const std::string& cmdRef, CommandKind kind, int code) {
    auto* status = new Status();
    status->setCmdID(static_cast<std::int64_t>(nextCmdId()));
    status->setMsgRef(msgRef);
    status->setCmdRef(cmdRef);
    status->setCmd(commandName(kind));
    status->setData(static_cast<std::int64_t>(code));
    return status;
}

void MessageBuilder::queueNextMessageAlert() {
    auto* alert = new Alert();
    const std::uint32_t id = nextCmdId();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(kAlertNextMessage);
    auto* item = new ItemElement();
    item->setTarget(new SourceOrTarget(session_.url));
    item->setSource(new SourceOrTarget(session_.config.device.deviceId));
    alert->addItems(item);
    queueCommand(CommandKind::Alert, alert, id);
}

}  // namespace orvale
