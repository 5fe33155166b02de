// Every outgoing message: the header from the session's template, the queued statuses and
// commands while they fit, then the exchange and the decoding of the reply.
#include "engine/BoundedNumber.h"
#include "engine/CSyncClientException.h"
#include "engine/MessageExchange.h"
#include "engine/SyncClientImpl.h"
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

void SyncClient::Impl::startMessage() {
    auto header = hold(new Header());
    header->setVerDTD("1.1");
    header->setVerProto("SyncML/1.1");
    header->setSessionID(sessionId);
    header->setMsgID(static_cast<std::int64_t>(msgId));
    header->setTarget(url);
    auto* source = new SourceOrTarget(config.device.deviceId);
    if (auth && !auth->locName().empty()) source->setLocName(auth->locName());
    header->setSource(source);
    if (const Credential* credential = auth ? auth->credentialToSend() : nullptr) header->setCred(credElement(*credential));
    auto* meta = new MetInfElem();
    meta->setMaxMsgSize(static_cast<std::int64_t>(limits.workspaceSize()));
    header->setMeta(meta);

    pending.add(msgId, 0, PendingCommand{CommandKind::SyncHdr, ElementRef<SyncElement>(header.get()), -1, {}});
    channel.start(*header);
    messageHasContent = false;
}

bool SyncClient::Impl::addToMessage(CommandKind kind, SyncElement& element) {
    if (channel.add(kind, element) == code::Ok) {
        messageHasContent = true;
        return true;
    }
    return false;
}

bool SyncClient::Impl::drainQueues() {
    while (!statusQueue.empty()) {
        if (channel.encodedSize() >= limits.queueLimit()) return false;
        ElementRef<Status> status = statusQueue.front();
        if (!addToMessage(CommandKind::Status, *status)) {
            // Alone in a message and still too large (an echo of outsized server data): it never
            // fits, and keeping it would stall every later message.
            if (!messageHasContent) {
                observer.textNumber("Status does not fit into a message: #", status->cmdIDAsInt());
                statusQueue.pop_front();
                continue;
            }
            return false;
        }
        statusQueue.pop_front();
    }
    while (!commandQueue.empty()) {
        if (channel.encodedSize() >= limits.queueLimit()) return false;
        OutgoingCommand command = commandQueue.front();
        if (!addToMessage(command.kind, *command.element)) {
            if (!messageHasContent) {
                observer.textNumber("Command does not fit into a message: #", command.cmdId);
                commandQueue.pop_front();
                continue;
            }
            return false;
        }
        commandQueue.pop_front();
        pending.add(msgId, command.cmdId, PendingCommand{command.kind, command.element, command.folder, {}});
    }
    return true;
}

void SyncClient::Impl::sendAndReceive(bool final) {
    const std::string request = channel.finish(final);
    observer.event(601);
    const std::string reply = exchangeMessage(transport, url, request, limits.replyLimit());
    answeredMsgId = msgId;
    channel.decode(reply, received);
}

std::optional<PendingCommand> SyncClient::Impl::answeredCommand(const Status& status, int& code) {
    const auto msgRef = readServerNumber(status.msgRef());
    const auto cmdRef = readServerNumber(status.cmdRef());
    std::optional<PendingCommand> command;
    if (msgRef && cmdRef) command = pending.take(*msgRef, *cmdRef);
    if (!command) {
        // A reference to something we never sent is the server's confusion; acting on it could
        // acknowledge the wrong item.
        observer.text("Command was not found for command #" + status.cmdRef());
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
void SyncClient::Impl::queueStatus(Status* status) {
    statusQueue.push_back(ElementRef<Status>(status));
    if (statusQueue.size() + commandQueue.size() > kMaxQueuedCommands) queueOverflow = true;
}

void SyncClient::Impl::queueCommand(CommandKind kind, SyncElement* element, std::uint32_t id, int folder) {
    commandQueue.push_back(OutgoingCommand{kind, ElementRef<SyncElement>(element), id, folder});
    if (statusQueue.size() + commandQueue.size() > kMaxQueuedCommands) queueOverflow = true;
}

bool SyncClient::Impl::queuedPastBound() const {
    if (queueOverflow) return true;
    std::uint64_t bytes = 0;
    for (const auto& s : statusQueue) bytes += elementBytes(*s);
    for (const auto& c : commandQueue) bytes += elementBytes(*c.element);
    return bytes > kMaxQueuedBytes;
}

Status* SyncClient::Impl::newStatus(const std::string& msgRef, const std::string& cmdRef, CommandKind kind, int code) {
    auto* status = new Status();
    status->setCmdID(static_cast<std::int64_t>(nextCmdId()));
    status->setMsgRef(msgRef);
    status->setCmdRef(cmdRef);
    status->setCmd(commandName(kind));
    status->setData(static_cast<std::int64_t>(code));
    return status;
}

}  // namespace orvale
