#pragma once
// The trackers made during a run. They outlive their stores and are saved when the run's factory goes.
namespace orvale {

class ChangeTracker;

void registerTracker(ChangeTracker* tracker);
// Destroys every registered tracker in registration order (each saves its database).
void saveAndClearTrackers();
// Destroys every registered tracker without writing any database (a run that did not complete).
void discardTrackers();

}  // namespace orvale
