#include "stores/ChangeTrackerList.h"

#include <vector>

#include "stores/ChangeTracker.h"

namespace orvale {

namespace {
std::vector<ChangeTracker*>& trackers() {
    static std::vector<ChangeTracker*> list;
    return list;
}
bool g_discarded = false;
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

void setTrackersDiscarded(bool discarded) { g_discarded = discarded; }

bool trackersDiscarded() { return g_discarded; }

}  // namespace orvale
