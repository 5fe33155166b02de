// The folder's change lists sent as Add, Replace and Delete inside its Sync, as many as fit into
// the message; the position is kept so the next message continues where this one stopped. Also the
// server's Statuses for those commands.
#include "engine/ChangeSender.h"
#include "engine/DeviceInfo.h"
#include "engine/MakeElement.h"
#include "engine/SessionDataStore.h"
#include "engine/SyncObserver.h"

namespace orvale {

namespace {

CommandKind commandFor(ChangeList list) {
    switch (list) {
        case ChangeList::Updated: return CommandKind::Replace;
        case ChangeList::Deleted: return CommandKind::Delete;
        case ChangeList::All:
        case ChangeList::New: break;
    }
    return CommandKind::Add;
}

std::uint32_t elementTypeFor(CommandKind kind) {
    if (kind == CommandKind::Replace) return element_type::Replace;
    if (kind == CommandKind::Delete) return element_type::Delete;
    return element_type::Add;
}

int observedKind(CommandKind kind) {
    if (kind == CommandKind::Delete) return kObservedDelete;
    if (kind == CommandKind::Replace) return kObservedReplace;
    return kObservedAdd;
}

std::string typeText(const StoreItem& item) {
    const ContentType type = item.contentType();
    return type.text().empty() ? type.mimeType() : type.text();
}

// One Add, Replace or Delete with one item; `data` is absent for a Delete. The first chunk of a
// large object names the whole item's size; every chunk but the last carries MoreData.
ElementRef<Generic> changeCommand(CommandKind kind, std::uint32_t id, const std::string& key, const std::string& type,
                                  const std::string_view* data, std::optional<std::uint32_t> fullSize = std::nullopt,
                                  bool moreData = false) {
    auto command = makeElement<Generic>(elementTypeFor(kind));
    command->setCmdID(static_cast<std::int64_t>(id));
    auto entry = makeElement<ItemElement>();
    entry->setSource(makeLocUri(key).get());
    if (data != nullptr) {
        auto meta = makeElement<MetInfElem>();
        meta->setType(type);
        if (fullSize) meta->setSize(static_cast<std::int64_t>(*fullSize));
        command->setMeta(meta.get());
        entry->setData(std::string(*data));
        if (moreData) entry->setMoreData(true);
    }
    command->addItems(entry.get());
    return command;
}

ElementRef<Generic> changeCommand(CommandKind kind, std::uint32_t id, StoreItem& item) {
    const char* bytes = item.data();
    const std::string_view data = bytes != nullptr ? std::string_view(bytes, item.dataSize()) : std::string_view();
    return changeCommand(kind, id, item.key(), typeText(item), kind == CommandKind::Delete ? nullptr : &data);
}

}  // namespace

void ChangeSender::reportSkippedItem(SyncContextHolder& context, CommandKind kind, const std::string& key) {
    session_.observer.text("Item was not sent: " + key);
    session_.observer.itemResult(SyncSide::Client, folders_[context.folder()].localName(), observedKind(kind), true);
    FolderCounters& c = context.counters;
    ++(kind == CommandKind::Delete ? c.deletesFailed : kind == CommandKind::Replace ? c.replacesFailed : c.addsFailed);
    ++c.failed;
}

bool ChangeSender::largeObjectsAllowed(std::size_t size) const {
    return session_.sessionData.getBool(kKeySupportLargeObjects) && size <= session_.limits.negotiatedObjectSize();
}

ChangeSender::ChunkResult ChangeSender::addNextChunk(SyncContextHolder& context, bool messageWasEmpty) {
    LargeObject& object = *largeObjects_.outgoing;
    const std::uint32_t limit = session_.limits.itemsLimit();
    const std::uint32_t used = messages_.channel().encodedSize();
    const std::size_t room = used < limit ? limit - used : 0;
    const std::uint32_t id = messages_.nextCmdId();
    const bool first = object.nothingSent();
    auto build = [&](std::size_t n) {
        const std::string_view chunk = object.next(n);
        return changeCommand(object.kind(), id, object.key(), object.contentType(), &chunk,
                             first ? std::optional<std::uint32_t>(object.declaredSize()) : std::nullopt,
                             n < object.remaining());
    };
    // The room is measured on the encoded command, so escaping counts once and the size we
    // announce stays the item's own byte count.
    const std::size_t fits = chunkThatFits(room, object.remaining(), [&](std::size_t k) {
        return static_cast<std::size_t>(messages_.channel().sizeOf(object.kind(), *build(k)));
    });
    const std::size_t n = chunkEndBeforeText(object.next(object.remaining()), fits);
    ElementRef<Generic> command;
    if (n > 0) command = build(n);
    if (!command || !messages_.addToMessage(object.kind(), *command)) {
        if (!messageWasEmpty) return ChunkResult::MessageFull;
        // Not even an empty message has room for a byte of it.
        reportSkippedItem(context, object.kind(), object.key());
        largeObjects_.outgoing.reset();
        return ChunkResult::Failed;
    }
    const bool last = n == object.remaining();
    messages_.pending().add(messages_.msgId(), id, PendingCommand{object.kind(), ElementRef<SyncElement>(command.get()), context.folder(), object.key(), !last});
    object.sent(n);
    if (!last) return ChunkResult::MessageFull;
    largeObjects_.outgoing.reset();
    return ChunkResult::LastSent;
}

ChangeSender::ChunkResult ChangeSender::startLargeObject(SyncContextHolder& context, StoreItem& item, CommandKind kind,
                                                         bool messageWasEmpty) {
    const char* bytes = item.data();
    const std::size_t size = item.dataSize();
    largeObjects_.outgoing = hold(LargeObject::outgoing(kind, context.folder(), item.key(), typeText(item),
                                                        bytes != nullptr ? std::string(bytes, size) : std::string(),
                                                        messages_.msgId()));
    context.advance();
    return addNextChunk(context, messageWasEmpty);
}

bool ChangeSender::addFolderChanges(SyncContextHolder& context, bool messageWasEmpty) {
    const std::uint32_t limit = session_.limits.itemsLimit();
    const std::uint32_t itemLimit = session_.limits.itemLimit();
    int itemsInMessage = 0;
    // A large object under way is continued before anything else.
    if (largeObjects_.outgoing && largeObjects_.outgoing->folder() == context.folder()) {
        const ChunkResult chunk = addNextChunk(context, messageWasEmpty);
        if (chunk == ChunkResult::MessageFull) return false;
        if (chunk == ChunkResult::LastSent) ++itemsInMessage;
    }
    while (StoreItem* item = context.current()) {
        const ChangeList list = context.currentList();
        if (pendingMaps_.skipOwnCopy(context, list, *item)) {
            context.advance();
            continue;
        }
        const CommandKind kind = commandFor(list);
        if (kind == CommandKind::Delete) {
            if (messages_.channel().encodedSize() > limit) return false;
        } else {
            const std::size_t size = item->dataSize();
            if (messages_.channel().encodedSize() + size > limit) {
                if (largeObjectsAllowed(size)) {
                    // A nearly full message is closed; the item starts in the next one.
                    if (messages_.channel().encodedSize() > limit / 6 * 5) return false;
                    const ChunkResult chunk = startLargeObject(context, *item, kind, messageWasEmpty && itemsInMessage == 0);
                    if (chunk == ChunkResult::MessageFull) return false;
                    if (chunk == ChunkResult::LastSent) ++itemsInMessage;
                    continue;
                }
                if (size > itemLimit || (itemsInMessage == 0 && messageWasEmpty)) {
                    // It can never fit, and the folder's loop must end.
                    reportSkippedItem(context, kind, item->key());
                    context.advance();
                    continue;
                }
                return false;
            }
        }
        const std::uint32_t id = messages_.nextCmdId();
        auto command = changeCommand(kind, id, *item);
        if (!messages_.addToMessage(kind, *command)) {
            // Only our own header can leave less room than the item limit promises.
            if (itemsInMessage == 0 && messageWasEmpty) {
                reportSkippedItem(context, kind, item->key());
                context.advance();
                continue;
            }
            return false;
        }
        messages_.pending().add(messages_.msgId(), id, PendingCommand{kind, ElementRef<SyncElement>(command.get()), context.folder(), item->key()});
        session_.observer.itemData(SyncSide::Client, folders_[context.folder()].localName(), observedKind(kind), item->key(),
                                   item->data() != nullptr ? std::string_view(item->data(), item->dataSize()) : std::string_view());
        context.advance();
        ++itemsInMessage;
    }
    return true;
}

void ChangeSender::itemStatusReceived(const PendingCommand& command, int code) {
    SyncContextHolder* context = folders_.contextOf(command.folder);
    if (context == nullptr) return;
    const std::string& folder = folders_[command.folder].localName();
    FolderCounters& c = context->counters;
    auto acknowledge = [&] {
        if (context->store() != nullptr) context->store()->itemAcknowledged(command.itemKey);
    };
    auto failed = [&](int& counter, int observed) {
        ++counter;
        ++c.failed;
        session_.observer.itemResult(SyncSide::Client, folder, observed, true);
    };
    if (command.moreData) {
        if (code == kStatusChunkKept) return;
        // Any other answer to a chunk means the server does not hold the item's beginning: the
        // rest would be refused too, and nothing of the item counts as sent. It goes again next
        // session.
        if (largeObjects_.outgoing && largeObjects_.outgoing->isItem(command.kind, command.folder, command.itemKey)) largeObjects_.outgoing.reset();
        code = 0;
    }
    switch (command.kind) {
        case CommandKind::Add:
        case CommandKind::Replace:
            if (command.kind == CommandKind::Add && (code == kStatusItemAdded || code == kStatusOk))
                pendingMaps_.serverTookAdd(command.folder, command.itemKey);
            if (code == kStatusItemAdded) {
                ++c.added;
                session_.observer.itemResult(SyncSide::Client, folder, kObservedAdd, false);
                acknowledge();
            } else if (code == kStatusOk || code == kStatusConflictServerWins) {
                ++c.replaced;
                session_.observer.itemResult(SyncSide::Client, folder, kObservedReplace, false);
                acknowledge();
            } else if (command.kind == CommandKind::Add) {
                failed(c.addsFailed, kObservedAdd);
            } else {
                failed(c.replacesFailed, kObservedReplace);
            }
            break;
        case CommandKind::Delete:
            if (code == kStatusOk || code == kStatusDeletedWithoutArchive || code == kStatusItemNotDeleted) {
                ++c.deleted;
                session_.observer.itemResult(SyncSide::Client, folder, kObservedDelete, false);
                acknowledge();
            } else {
                failed(c.deletesFailed, kObservedDelete);
            }
            break;
        default:
            break;
    }
}

}  // namespace orvale
