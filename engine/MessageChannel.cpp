#include "engine/MessageChannel.h"

#include <cstring>

#include "engine/CSyncClientException.h"
#include "engine/SessionLimits.h"

namespace orvale {

namespace {
constexpr std::uint8_t kSyncMl11 = 2;

// The toolkit is process-wide; several clients in one process share it.
void ensureToolkit() { toolkit::initToolkit(kWorkspaceCap); }
}  // namespace

MessageChannel::MessageChannel(std::uint32_t workspaceSize) {
    ensureToolkit();
    toolkit::InstanceOptions options;
    options.encoding = toolkit::kEncodingWbxml;
    options.workspaceSize = workspaceSize;
    options.workspaceName = "MyWorkSpace";
    if (toolkit::initInstance(options, receivedMessageCallbacks(), &received_, id_) != code::Ok) {
        throw CSyncClientException(kErrorToolkit, kFailedMessageStart);
    }
}

MessageChannel::~MessageChannel() {
    toolkit::terminateInstance(id_);
    // Fails harmlessly while another instance still uses the toolkit.
    toolkit::terminateToolkit();
}

void MessageChannel::start(const Header& header) {
    // A message abandoned by an exception leaves its bytes behind; a new one starts clean.
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    toolkit::lockReadBuffer(id_, p, n);
    toolkit::unlockReadBuffer(id_, n);
    if (toolkit::startMessage(id_, header.headerRecord(), kSyncMl11) != code::Ok) {
        throw CSyncClientException(kErrorToolkit, kFailedMessageStart);
    }
    open_ = true;
}

ToolkitCode MessageChannel::checked(ToolkitCode c) const {
    if (c != code::Ok && c != code::BufferFull) throw CSyncClientException(kErrorToolkit, kFailedCommand, static_cast<std::int32_t>(c));
    return c;
}

ToolkitCode MessageChannel::add(CommandKind kind, const SyncElement& command) {
    void* r = command.record();
    switch (kind) {
        case CommandKind::Status: return checked(toolkit::addStatus(id_, static_cast<StatusRecord*>(r)));
        case CommandKind::Results: return checked(toolkit::addResults(id_, static_cast<ResultsRecord*>(r)));
        case CommandKind::Put: return checked(toolkit::addPut(id_, static_cast<PutGetRecord*>(r)));
        case CommandKind::Get: return checked(toolkit::addGet(id_, static_cast<PutGetRecord*>(r)));
        case CommandKind::Alert: return checked(toolkit::addAlert(id_, static_cast<AlertRecord*>(r)));
        case CommandKind::Map: return checked(toolkit::addMap(id_, static_cast<MapRecord*>(r)));
        case CommandKind::Replace: return checked(toolkit::addReplace(id_, static_cast<GenericRecord*>(r)));
        case CommandKind::Delete: return checked(toolkit::addDelete(id_, static_cast<GenericRecord*>(r)));
        case CommandKind::Add: return checked(toolkit::addAdd(id_, static_cast<GenericRecord*>(r)));
        case CommandKind::Sync:
        case CommandKind::SyncHdr:
        case CommandKind::Final: break;
    }
    throw CSyncClientException(kErrorToolkit, kFailedCommand, static_cast<std::int32_t>(code::WrongUsage));
}

std::uint32_t MessageChannel::sizeOf(CommandKind kind, const SyncElement& command) const {
    auto* record = static_cast<GenericRecord*>(command.record());
    std::uint32_t size = 0;
    ToolkitCode c = code::WrongUsage;
    if (kind == CommandKind::Add) c = toolkit::sizeOfAdd(id_, record, size);
    if (kind == CommandKind::Replace) c = toolkit::sizeOfReplace(id_, record, size);
    checked(c == code::BufferFull ? code::WrongUsage : c);
    return size;
}

ToolkitCode MessageChannel::startSync(const StartSync& sync) { return checked(toolkit::startSync(id_, sync.syncRecord())); }

ToolkitCode MessageChannel::endSync() { return checked(toolkit::endSync(id_)); }

std::uint32_t MessageChannel::encodedSize() const {
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    toolkit::lockReadBuffer(id_, p, n);
    toolkit::unlockReadBuffer(id_, 0);
    return n;
}

std::string MessageChannel::finish(bool final) {
    if (!open_ || toolkit::endMessage(id_, final) != code::Ok) {
        open_ = false;
        throw CSyncClientException(kErrorToolkit, kFailedCommand);
    }
    open_ = false;
    const std::uint8_t* p = nullptr;
    std::uint32_t n = 0;
    if (toolkit::lockReadBuffer(id_, p, n) != code::Ok || n == 0) throw CSyncClientException(kErrorToolkit, kFailedMessageTake);
    std::string bytes(reinterpret_cast<const char*>(p), n);
    if (toolkit::unlockReadBuffer(id_, n) != code::Ok) throw CSyncClientException(kErrorToolkit, kFailedMessageTake);
    return bytes;
}

void MessageChannel::decode(const std::string& reply, ReceivedMessage& out) {
    out.clear();
    std::size_t copied = 0;
    while (copied < reply.size()) {
        std::uint8_t* p = nullptr;
        std::uint32_t room = 0;
        if (toolkit::lockWriteBuffer(id_, p, room) != code::Ok || room == 0) {
            toolkit::unlockWriteBuffer(id_, 0);
            throw CSyncClientException(kErrorToolkit, kFailedReplyDecode, static_cast<std::int32_t>(code::BufferFull));
        }
        const std::size_t piece = std::min<std::size_t>(room, reply.size() - copied);
        std::memcpy(p, reply.data() + copied, piece);
        toolkit::unlockWriteBuffer(id_, static_cast<std::uint32_t>(piece));
        copied += piece;
    }
    received_.clear();
    const ToolkitCode c = toolkit::processData(id_, toolkit::kProcessAll);
    std::swap(out, received_);
    received_.clear();
    if (c != code::Ok) throw CSyncClientException(kErrorToolkit, kFailedReplyDecode, static_cast<std::int32_t>(c));
    // Whatever the decoder left unread must not leak into the next message.
    const std::uint8_t* rest = nullptr;
    std::uint32_t n = 0;
    toolkit::lockReadBuffer(id_, rest, n);
    toolkit::unlockReadBuffer(id_, n);
}

}  // namespace orvale
