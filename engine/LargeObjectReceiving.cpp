// The server's items seen as chunks: each received Add or Replace item passes the session's incoming
// large object before anything of it is applied, and an object another item interrupts is given up
// with an Alert 223.
#include "engine/AlertCodes.h"
#include "engine/BoundedNumber.h"
#include "engine/LargeObjects.h"
#include "engine/MessageBuilder.h"
#include "engine/SyncObserver.h"

namespace orvale {

namespace {

std::optional<std::uint64_t> declaredSizeOf(const MetInfElem* meta) {
    if (meta == nullptr || meta->sizeCData() == nullptr) return std::nullopt;
    const auto size = readServerNumber(meta->size());
    if (!size) return std::nullopt;
    return *size;
}

}  // namespace

ChunkOutcome LargeObjects::receiveChunk(const Generic& command, const ItemElement& item, CommandKind kind,
                                            int folder, const std::string& key) {
    ArrivingItem arriving;
    arriving.kind = kind;
    arriving.folder = folder;
    arriving.key = key;
    const std::string data = item.data();
    arriving.data = data;
    arriving.moreData = item.moreData();
    // The size is the item's own when it has one, else its command's.
    arriving.declaredSize = declaredSizeOf(item.meta());
    if (!arriving.declaredSize) arriving.declaredSize = declaredSizeOf(command.meta());
    arriving.msgId = messages_.msgId();
    ChunkOutcome out = incoming.receive(arriving);
    if (out.interrupted) queueNoEndOfData(*out.interrupted);
    return out;
}

void LargeObjects::queueNoEndOfData(const LargeObject& object) {
    auto* alert = new Alert();
    const std::uint32_t id = messages_.nextCmdId();
    alert->setCmdID(static_cast<std::int64_t>(id));
    alert->setData(kAlertNoEndOfData);
    // The item is named as the server named it: its own ID for an Add, our key for a Replace.
    auto* item = new ItemElement();
    if (object.kind() == CommandKind::Add) item->setSource(new SourceOrTarget(object.key()));
    else item->setTarget(new SourceOrTarget(object.key()));
    alert->addItems(item);
    messages_.queueCommand(CommandKind::Alert, alert, id, object.folder());
    observer_.text("Large object was interrupted by another item: " + object.key());
}

}  // namespace orvale
