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

bool saveAndClearTrackers() {
    bool all = true;
    for (ChangeTracker* t : trackers()) all = t->save() && all;
    discardTrackers();
    return all;
}

void discardTrackers() {
    for (ChangeTracker* t : trackers()) delete t;
    trackers().clear();
}

void setTrackersDiscarded(bool discarded) { g_discarded = discarded; }

bool trackersDiscarded() { return g_discarded; }

}  // namespace orvale
