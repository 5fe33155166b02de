#pragma once
// The session engine's memory for one run. It is read when the run starts like the engine's own
// store, but written back only when the run asks: a run that did not complete leaves the file as it
// was.
#include "engine/SessionDataStore.h"

namespace orvale {

class RunSessionData {
  public:
    explicit RunSessionData(std::string devicePath = std::string(kSessionDataPath));
    SessionDataStore& store() { return store_; }
    // Rewrites the file (mode 0600); false when it cannot be written.
    bool write() const;

  private:
    std::string path_;
    SessionDataStore store_{SessionDataStore::InMemory{}};
};

}  // namespace orvale
