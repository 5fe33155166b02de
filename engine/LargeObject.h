#pragma once
// An item that travels in chunks because it does not fit into one message. Outgoing, it holds the
// item's bytes and cuts the next chunk to the room a message has left; incoming, it collects the
// chunks until the size the first one announced is reached. The bytes live here only: nothing of an
// incoming object reaches a store before its last chunk.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CommandKind.h"
#include "engine/ElementRef.h"
#include "engine/StatusCodes.h"
#include "syncml/CountedObject.h"

namespace orvale {

class LargeObject : public CountedObject {
public:
    // `text` is the whole item, to be sent chunk by chunk.
    static LargeObject* outgoing(CommandKind kind, int folder, std::string key, std::string contentType,
                                 std::string text, std::uint32_t msgId);
    // The first chunk announced `declaredSize` bytes; the chunks are then appended.
    static LargeObject* incoming(CommandKind kind, int folder, std::string key, std::uint32_t declaredSize,
                                 std::uint32_t msgId);

    CommandKind kind() const { return kind_; }
    int folder() const { return folder_; }
    const std::string& key() const { return key_; }
    // The item's full size.
    std::uint32_t declaredSize() const { return declared_; }
    // The message ID counter when the object was started.
    std::uint32_t messageId() const { return msgId_; }
    bool isItem(CommandKind kind, int folder, std::string_view key) const {
        return kind == kind_ && folder == folder_ && key == key_;
    }

    // --- outgoing
    const std::string& contentType() const { return contentType_; }
    bool nothingSent() const { return offset_ == 0; }
    std::size_t remaining() const { return buffer_.size() - offset_; }
    // The next `n` bytes to send (fewer at the end).
    std::string_view next(std::size_t n) const { return std::string_view(buffer_).substr(offset_, n); }
    void sent(std::size_t n) { offset_ += n < remaining() ? n : remaining(); }

    // --- incoming
    // Keeps the chunk; false, keeping nothing of it, when it would take the object past its
    // declared size.
    bool append(std::string_view chunk);
    std::size_t received() const { return buffer_.size(); }
    bool complete() const { return buffer_.size() == declared_; }
    std::string takeText() { return std::move(buffer_); }

private:
    LargeObject(CommandKind kind, int folder, std::string key, std::uint32_t declared, std::uint32_t msgId);

    std::string key_;
    std::string contentType_;
    std::uint32_t declared_;
    std::uint32_t msgId_;
    std::string buffer_;
    std::size_t offset_ = 0;
    CommandKind kind_;
    int folder_;
};

// The most bytes (at most `available`) whose command, as `encodedSize(n)` measures it, fits into
// `room`; 0 when not even one does. The encoding of n bytes takes at least n bytes plus overhead.
std::size_t chunkThatFits(std::size_t room, std::size_t available,
                          const std::function<std::size_t(std::size_t)>& encodedSize);

// Where a chunk of `n` bytes of `rest` (the bytes still to send) ends so that the next chunk does
// not begin with white space (space, tab, CR, LF, NUL, vertical tab), which some servers strip
// from every continuation chunk: the largest such length up to `n`, `n` itself when it takes all
// of `rest` or when every cut up to `n` would leave white space in front.
std::size_t chunkEndBeforeText(std::string_view rest, std::size_t n);

// One received Add or Replace item, as the chunk logic sees it.
struct ArrivingItem {
    CommandKind kind = CommandKind::Add;
    int folder = -1;
    std::string_view key;
    std::string_view data;
    bool moreData = false;
    // Meta Size of the item or of its command; none when absent or not a number.
    std::optional<std::uint64_t> declaredSize;
    std::uint32_t msgId = 0;
};

// What becomes of one received item.
struct ChunkOutcome {
    enum class Action {
        Apply,     // a whole item: apply `text` (the joined chunks) or, when `joined` is false, the item's data
        Status,    // answer `status` and apply nothing
    };
    Action action = Action::Apply;
    int status = 0;
    // The item's outcome was told already: a chunk kept (213), or a later chunk of a refused object.
    bool pendingItem = false;
    bool joined = false;
    std::string text;
    // A pending object this item interrupted: dropped, the server gets Alert 223 for it.
    ElementRef<LargeObject> interrupted;
};

// The session's incoming large object: decides for each received item whether it is a chunk to
// keep, the end of a chunked item, or an item of its own. The bound applies to the declared size
// before any byte is kept.
class IncomingLargeObject {
public:
    explicit IncomingLargeObject(std::uint32_t bound) : bound_(bound) {}

    ChunkOutcome receive(const ArrivingItem& item);
    const LargeObject* pending() const { return pending_.get(); }
    // The session ends: whatever was collected goes unapplied.
    void drop();

private:
    ChunkOutcome first(const ArrivingItem& item);

    std::uint32_t bound_;
    ElementRef<LargeObject> pending_;
    // An object refused at one chunk: its later chunks get the same answer, none of them is applied.
    struct Refused {
        CommandKind kind;
        int folder;
        std::string key;
        int status;
    };
    std::optional<Refused> refused_;
};

}  // namespace orvale
