#include "engine/LargeObject.h"

namespace orvale {

namespace {
// Enough for any encoding whose output grows with its input; a measure that never settles means
// the chunk is not sent at all rather than the message overflowing.
constexpr int kMaxMeasurements = 8;
}  // namespace

LargeObject::LargeObject(CommandKind kind, int folder, std::string key, std::uint32_t declared, std::uint32_t msgId)
    : CountedObject("LargeObject"), key_(std::move(key)), declared_(declared), msgId_(msgId), kind_(kind), folder_(folder) {}

LargeObject* LargeObject::outgoing(CommandKind kind, int folder, std::string key, std::string contentType,
                                   std::string text, std::uint32_t msgId) {
    auto* object = new LargeObject(kind, folder, std::move(key), static_cast<std::uint32_t>(text.size()), msgId);
    object->contentType_ = std::move(contentType);
    object->buffer_ = std::move(text);
    return object;
}

LargeObject* LargeObject::incoming(CommandKind kind, int folder, std::string key, std::uint32_t declaredSize,
                                   std::uint32_t msgId) {
    return new LargeObject(kind, folder, std::move(key), declaredSize, msgId);
}

bool LargeObject::append(std::string_view chunk) {
    if (chunk.size() > declared_ - buffer_.size()) return false;
    if (buffer_.empty()) buffer_.reserve(declared_);
    buffer_.append(chunk);
    return true;
}

std::size_t chunkThatFits(std::size_t room, std::size_t available,
                          const std::function<std::size_t(std::size_t)>& encodedSize) {
    std::size_t n = available < room ? available : room;
    for (int i = 0; i < kMaxMeasurements && n > 0; ++i) {
        const std::size_t size = encodedSize(n);
        if (size <= room) return n;
        // Shrinking by the excess fits at once when every byte takes at least one byte; an
        // encoding that multiplies the bytes (escapes) is scaled down first.
        const std::size_t over = size - room;
        n = over < n ? n - over : static_cast<std::size_t>(static_cast<unsigned long long>(n) * room / size);
    }
    return 0;
}

std::size_t chunkEndBeforeText(std::string_view rest, std::size_t n) {
    if (n == 0 || n >= rest.size()) return n;
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == '\v'; };
    for (std::size_t k = n; k > 0; --k) {
        if (!white(rest[k])) return k;
    }
    return n;
}

void IncomingLargeObject::drop() {
    pending_.reset();
    refused_.reset();
}

ChunkOutcome IncomingLargeObject::first(const ArrivingItem& item) {
    ChunkOutcome out;
    out.action = ChunkOutcome::Action::Status;
    // Judged on the declared size alone, before a byte is kept.
    if (!item.declaredSize) {
        out.status = kStatusSizeRequired;
    } else if (*item.declaredSize > bound_) {
        out.status = kStatusSizeTooBig;
    } else {
        pending_ = hold(LargeObject::incoming(item.kind, item.folder, std::string(item.key),
                                              static_cast<std::uint32_t>(*item.declaredSize), item.msgId));
        out.status = pending_->append(item.data) ? kStatusChunkKept : kStatusSizeMismatch;
        if (out.status == kStatusChunkKept) {
            out.pendingItem = true;
            return out;
        }
        pending_.reset();
    }
    refused_ = Refused{item.kind, item.folder, std::string(item.key), out.status};
    return out;
}

ChunkOutcome IncomingLargeObject::receive(const ArrivingItem& item) {
    ChunkOutcome out;
    if (refused_) {
        const bool same = refused_->kind == item.kind && refused_->folder == item.folder && refused_->key == item.key;
        if (same) {
            out.action = ChunkOutcome::Action::Status;
            out.status = refused_->status;
            out.pendingItem = true;
            if (!item.moreData) refused_.reset();
            return out;
        }
        refused_.reset();
    }
    if (pending_ && pending_->isItem(item.kind, item.folder, item.key)) {
        out.action = ChunkOutcome::Action::Status;
        if (!pending_->append(item.data)) {
            pending_.reset();
            out.status = kStatusSizeMismatch;
            if (item.moreData) refused_ = Refused{item.kind, item.folder, std::string(item.key), out.status};
            return out;
        }
        if (item.moreData) {
            out.status = kStatusChunkKept;
            out.pendingItem = true;
            return out;
        }
        if (!pending_->complete()) {
            pending_.reset();
            out.status = kStatusSizeMismatch;
            return out;
        }
        out.action = ChunkOutcome::Action::Apply;
        out.joined = true;
        out.text = pending_->takeText();
        pending_.reset();
        return out;
    }
    ElementRef<LargeObject> interrupted = std::move(pending_);
    if (item.moreData) out = first(item);
    out.interrupted = std::move(interrupted);
    return out;
}

}  // namespace orvale
