#pragma once
// The trackers made during a run. They outlive their stores and are saved when the run's factory goes.
namespace orvale {

class ChangeTracker;

void registerTracker(ChangeTracker* tracker);
// Saves every registered tracker's database in registration order, then destroys them all. False
// when any database could not be written (the others are written all the same).
bool saveAndClearTrackers();
// Destroys every registered tracker and leaves every change database as it was.
void discardTrackers();

// Set by a factory that will discard its trackers, so that no store scans a folder only to make a
// tracker that nobody saves.
void setTrackersDiscarded(bool discarded);
bool trackersDiscarded();

}  // namespace orvale
