#pragma once
// A store that did not open or did not take a write is told twice over: as an event, which a run's
// cause is made of, and as the engine's words, which the screens and the run's log show. The event
// is what callers rely on; the words may be reworded freely.
#include <string>

#include "engine/SessionEvents.h"
#include "engine/SyncObserver.h"

namespace orvale {

inline void tellStoreTrouble(SyncObserver& observer, int event, const std::string& words) {
    observer.eventText(event, words);
    observer.text(words);
}

}  // namespace orvale
