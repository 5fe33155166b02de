#include "stores/ChangeTrackerList.h"

#include <vector>

#include "stores/ChangeTracker.h"

namespace orvale {

namespace {
std::vector<ChangeTracker*>& trackers() {
    static std::vector<ChangeTracker*> list;
    return list;
}
}  // namespace

void registerTracker(ChangeTracker* tracker) { trackers().push_back(tracker); }

void saveAndClearTrackers() {
    for (ChangeTracker* t : trackers()) delete t;
    trackers().clear();
}

void discardTrackers() {
    for (ChangeTracker* t : trackers()) t->discard();
    saveAndClearTrackers();
}

}  // namespace orvale
