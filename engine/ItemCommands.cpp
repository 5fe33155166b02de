// The server's Add, Replace and Delete applied item by item to the folder's store, with one Status
// per item and one Map per Add that created anything.
#include "engine/SyncClientImpl.h"

namespace orvale {

namespace {

std::string locUri(const SourceOrTarget* s) { return s != nullptr ? s->locURI() : std::string(); }

int observedKind(CommandKind kind) {
    if (kind == CommandKind::Add) return kObservedAdd;
    if (kind == CommandKind::Delete) return kObservedDelete;
    return kObservedReplace;
}

}  // namespace

void SyncClient::Impl::applyServerAddOrReplace(const Generic& command, CommandKind kind, OpenSync* target,
                                               const std::string& msgRef) {
    const std::string cmdRef = command.cmdID();
    const ItemListElement* items = command.items();
    if (target == nullptr || target->store() == nullptr) {
        queueStatus(newStatus(msgRef, cmdRef, kind, 500));
        return;
    }
    if (items == nullptr || items->size() == 0) {
        queueStatus(newStatus(msgRef, cmdRef, kind, 400));
        observer.text("There is not items in request. CmdId: " + cmdRef);
        return;
    }
    const bool isAdd = kind == CommandKind::Add;
    const FolderState& folder = folders[target->folder];
    SyncContextHolder* context = target->context;
    Map* map = nullptr;
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        if (item == nullptr) continue;
        const std::string key = isAdd ? locUri(item->source()) : locUri(item->target());
        std::string text = item->data();
        int code = 0;
        bool reported = true;
        StoreRef<StoreItem> stored;
        ChunkOutcome chunk;
        if (!key.empty()) chunk = receiveChunk(command, *item, kind, target->folder, key);
        if (chunk.joined) text = std::move(chunk.text);
        if (chunk.action == ChunkOutcome::Action::Status) {
            // A chunk is kept or refused; only a whole item reaches the store.
            code = chunk.status;
            reported = !chunk.pendingItem;
        } else if ((item->dataCData() == nullptr && !chunk.joined) || text.empty() || key.empty()) {
            code = 500;
            observer.text("Item has empty body. CmdId: " + cmdRef);
        } else if (isAdd) {
            // The server repeats an Add whose Map it never got: update the copy stored then.
            stored = StoreRef<StoreItem>(itemOfPendingAdd(target->folder, *target->store(), key));
            if (stored && stored->setData(text)) {
                code = 201;
            } else if (stored = StoreRef<StoreItem>(target->store()->newItem()); !stored) {
                code = 500;
                observer.text("Cant create element. CmdId: " + cmdRef);
            } else if (!stored->setData(text)) {
                code = 400;
                observer.text("Cant set content. CmdId: " + cmdRef);
            } else {
                code = 201;
            }
        } else {
            stored = StoreRef<StoreItem>(target->store()->itemByKey(key));
            if (!stored) {
                code = 404;
            } else if (!stored->setData(text)) {
                code = 400;
                observer.text("Cant set content. CmdId: " + cmdRef);
            } else {
                code = 200;
            }
        }
        Status* status = newStatus(msgRef, cmdRef, kind, code);
        queueStatus(status);
        if (isAdd) status->addSourceRef(key);
        else status->addTargetRef(key);

        if (code == 201) {
            notePendingAdd(target->folder, key, stored->key());
            if (map == nullptr) {
                map = new Map();
                const std::uint32_t id = nextCmdId();
                map->setCmdID(static_cast<std::int64_t>(id));
                map->setTarget(new SourceOrTarget(folder.source.remote.uri));
                map->setSource(new SourceOrTarget(folder.localName()));
                queueCommand(CommandKind::Map, map, id, target->folder);
            }
            auto* mapItem = new MapItem();
            mapItem->setTarget(new SourceOrTarget(key));
            mapItem->setSource(new SourceOrTarget(stored->key()));
            map->addMapItems(mapItem);
        }
        if (!reported) continue;
        const bool failed = code != 200 && code != 201;
        observer.itemResult(SyncSide::Server, folder.localName(), observedKind(kind), failed);
        if (context != nullptr) {
            FolderCounters& c = context->counters;
            if (failed) {
                ++(isAdd ? c.addsFailed : c.replacesFailed);
                ++c.failed;
            } else {
                ++(isAdd ? c.added : c.replaced);
            }
        }
    }
    // Durable before the message with the Map can leave.
    if (map != nullptr) savePendingAdds(target->folder);
}

void SyncClient::Impl::applyServerDelete(const Generic& command, OpenSync* target, const std::string& msgRef) {
    const std::string cmdRef = command.cmdID();
    const ItemListElement* items = command.items();
    if (target == nullptr || target->store() == nullptr) {
        queueStatus(newStatus(msgRef, cmdRef, CommandKind::Delete, 400));
        return;
    }
    if (items == nullptr || items->size() == 0) {
        queueStatus(newStatus(msgRef, cmdRef, CommandKind::Delete, 400));
        observer.text("There is not items in request. CmdId: " + cmdRef);
        return;
    }
    const FolderState& folder = folders[target->folder];
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        const std::string key = item != nullptr ? locUri(item->target()) : std::string();
        // An empty key would read as object 0; it names nothing.
        const bool deleted = !key.empty() && target->store()->deleteItem(key);
        const int code = key.empty() ? 500 : deleted ? 200 : 211;
        Status* status = newStatus(msgRef, cmdRef, CommandKind::Delete, code);
        queueStatus(status);
        status->addTargetRef(key);
        observer.itemResult(SyncSide::Server, folder.localName(), kObservedDelete, !deleted);
        if (SyncContextHolder* context = target->context) {
            if (deleted) {
                ++context->counters.deleted;
            } else {
                ++context->counters.deletesFailed;
                ++context->counters.failed;
            }
        }
    }
}

}  // namespace orvale
