// One durable step per received message: the first write a message brings to a store opens the
// store's write group, and every group is committed once the message's commands are handled,
// before our reply (with the statuses and Maps that tell the server what we stored) can leave.
#include "engine/SyncClientImpl.h"

namespace orvale {

bool SyncClient::Impl::writesOpen(DataStore& store) {
    // The message is lost already: its other items need not wait for the store once more each.
    if (messageWritesLost) return false;
    for (DataStore* open : messageWrites) {
        if (open == &store) return true;
    }
    if (!store.beginWrites()) {
        // Answering the items 500 and going on would let the anchors move past server items the
        // device never stored: the message counts as not kept, as when its commit fails.
        messageWritesLost = true;
        return false;
    }
    messageWrites.push_back(&store);
    return true;
}

bool SyncClient::Impl::commitMessageWrites() {
    if (messageWritesLost) {
        abandonMessageWrites();
        return false;
    }
    bool ok = true;
    // The first group opened may hold the others (stores over one device session nest): it ends last.
    for (auto it = messageWrites.rbegin(); it != messageWrites.rend(); ++it) ok = (*it)->commitWrites() && ok;
    messageWrites.clear();
    return ok;
}

void SyncClient::Impl::abandonMessageWrites() {
    for (auto it = messageWrites.rbegin(); it != messageWrites.rend(); ++it) (*it)->abandonWrites();
    messageWrites.clear();
    messageWritesLost = false;
}

}  // namespace orvale
