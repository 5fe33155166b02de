#pragma once
// Why a session that did not complete failed, from what the transport and the run's watch saw. A
// sync run and the Test Server both ask it, so the same failure is told the same way on every
// screen.
#include <string>

#include "app/RunCause.h"
#include "engine/SyncResult.h"

namespace orvale {

class RunWatch;
class Transport;

// `result` is the session's, not Done. `exceptionText` is what an exception that ended the session
// said. A store failure on a disk with no room left is told as the full disk.
RunCause sessionCause(SyncResult result, const RunWatch& watch, const Transport& transport, bool urlEmpty,
                      const std::string& exceptionText);

// Whether the device's disk has (almost) no room left.
bool deviceDiskFull();

}  // namespace orvale
