// One durable step per received message: the first write a message brings to a store opens the
// store's write group, and every group is committed once the message's commands are handled,
// before our reply (with the statuses and Maps that tell the server what we stored) can leave.
#include "engine/MessageWrites.h"

#include "stores/DataStore.h"

namespace orvale {

bool MessageWrites::open(DataStore& store) {
    // The message is lost already: its other items need not wait for the store once more each.
    if (lost_) return false;
    for (DataStore* open : open_) {
        if (open == &store) return true;
    }
    if (!store.beginWrites()) {
        // Answering the items 500 and going on would let the anchors move past server items the
        // device never stored: the message counts as not kept, as when its commit fails.
        lost_ = true;
        return false;
    }
    open_.push_back(&store);
    return true;
}

bool MessageWrites::commit() {
    if (lost_) {
        abandon();
        return false;
    }
    bool ok = true;
    // The first group opened may hold the others (stores over one device session nest): it ends last.
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) ok = (*it)->commitWrites() && ok;
    open_.clear();
    return ok;
}

void MessageWrites::abandon() {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) (*it)->abandonWrites();
    open_.clear();
    lost_ = false;
}

}  // namespace orvale
