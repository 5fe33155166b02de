// The folder's change lists sent as Add, Replace and Delete inside its Sync, as many as fit into
// the message; the position is kept so the next message continues where this one stopped. Also the
// server's Statuses for those commands.
#include "engine/SyncClientImpl.h"

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

Generic* changeCommand(CommandKind kind, std::uint32_t id, StoreItem& item) {
    auto* command = new Generic(elementTypeFor(kind));
    command->setCmdID(static_cast<std::int64_t>(id));
    auto* entry = new ItemElement();
    entry->setSource(new SourceOrTarget(item.key()));
    if (kind != CommandKind::Delete) {
        const ContentType type = item.contentType();
        auto* meta = new MetInfElem();
        meta->setType(type.text().empty() ? type.mimeType() : type.text());
        command->setMeta(meta);
        const char* data = item.data();
        entry->setData(data != nullptr ? std::string(data, item.dataSize()) : std::string());
    }
    command->addItems(entry);
    return command;
}

}  // namespace

void SyncClient::Impl::reportSkippedItem(SyncContextHolder& context, ChangeList list) {
    const CommandKind kind = commandFor(list);
    observer.text("Item does not fit into a message and is skipped: " + (context.current() ? context.current()->key() : std::string()));
    observer.itemResult(SyncSide::Client, folders[context.folder()].localName(), observedKind(kind), true);
    FolderCounters& c = context.counters;
    ++(kind == CommandKind::Delete ? c.deletesFailed : kind == CommandKind::Replace ? c.replacesFailed : c.addsFailed);
    ++c.failed;
}

bool SyncClient::Impl::addFolderChanges(SyncContextHolder& context, bool messageWasEmpty) {
    const std::uint32_t limit = limits.itemsLimit();
    const std::uint32_t itemLimit = limits.itemLimit();
    int itemsInMessage = 0;
    while (StoreItem* item = context.current()) {
        const ChangeList list = context.currentList();
        if (skipOwnCopy(context, list, *item)) {
            context.advance();
            continue;
        }
        const CommandKind kind = commandFor(list);
        if (kind == CommandKind::Delete) {
            if (channel.encodedSize() > limit) return false;
        } else {
            const std::size_t size = item->dataSize();
            if (size > itemLimit) {
                // Large objects hook: when the server announced "supportLargeObjects" and the item is
                // within the negotiated object size, it is to be sent in chunks from here. Until
                // then such an item never fits and is skipped, so the folder's loop can end.
                reportSkippedItem(context, list);
                context.advance();
                continue;
            }
            if (channel.encodedSize() + size > limit) {
                if (itemsInMessage == 0 && messageWasEmpty) {
                    reportSkippedItem(context, list);
                    context.advance();
                    continue;
                }
                return false;
            }
        }
        const std::uint32_t id = nextCmdId();
        auto command = hold(changeCommand(kind, id, *item));
        if (!addToMessage(kind, *command)) {
            // Only our own header can leave less room than the item limit promises.
            if (itemsInMessage == 0 && messageWasEmpty) {
                reportSkippedItem(context, list);
                context.advance();
                continue;
            }
            return false;
        }
        pending.add(msgId, id, PendingCommand{kind, ElementRef<SyncElement>(command.get()), context.folder(), item->key()});
        context.advance();
        ++itemsInMessage;
    }
    return true;
}

void SyncClient::Impl::itemStatusReceived(const PendingCommand& command, int code) {
    SyncContextHolder* context = contextOf(command.folder);
    if (context == nullptr) return;
    const std::string& folder = folders[command.folder].localName();
    FolderCounters& c = context->counters;
    auto acknowledge = [&] {
        if (context->store() != nullptr) context->store()->itemAcknowledged(command.itemKey);
    };
    auto failed = [&](int& counter, int observed) {
        ++counter;
        ++c.failed;
        observer.itemResult(SyncSide::Client, folder, observed, true);
    };
    switch (command.kind) {
        case CommandKind::Add:
        case CommandKind::Replace:
            if (code == 201) {
                ++c.added;
                observer.itemResult(SyncSide::Client, folder, kObservedAdd, false);
                acknowledge();
            } else if (code == 200 || code == 419) {
                ++c.replaced;
                observer.itemResult(SyncSide::Client, folder, kObservedReplace, false);
                acknowledge();
            } else if (command.kind == CommandKind::Add) {
                failed(c.addsFailed, kObservedAdd);
            } else {
                failed(c.replacesFailed, kObservedReplace);
            }
            break;
        case CommandKind::Delete:
            if (code == 200 || code == 210 || code == 211) {
                ++c.deleted;
                observer.itemResult(SyncSide::Client, folder, kObservedDelete, false);
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
