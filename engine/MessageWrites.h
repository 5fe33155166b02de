#pragma once
// The write groups the received message being handled opened in the device's stores.
#include <vector>

namespace orvale {

class DataStore;

class MessageWrites {
public:
    // Opens the store's write group for the message being handled, once; false when it cannot be.
    bool open(DataStore& store);
    // Commits every group the message opened; false when any of their writes were not kept.
    bool commit();
    void abandon();
    // Something of the message could not be kept: none of its writes are, and its reply does not
    // leave.
    void markLost() { lost_ = true; }

private:
    // Stores whose write group the message opened, in opening order.
    std::vector<DataStore*> open_;
    bool lost_ = false;
};

}  // namespace orvale
