#pragma once
// The outcome of one sync run, and the words the screens show for it.
#include <cstdint>
#include <string>

#include "platform/StringId.h"

namespace orvale {

enum class SyncResult : std::int32_t {
    Done = 0,
    InitFailed = 1,   // credentials refused
    Exception = 2,    // the run ended by an exception
    NotReached = 3,   // the server could not be reached, or the run was aborted
    SyncFailed = 4,   // the synchronisation phase failed
};

// 0 "Done!", 1 "Authentication failed", 3 "Could not reach the server", 2 and 4 "Sync failed".
platform::StringId resultStringId(SyncResult result);
const std::u16string& resultText(SyncResult result);

}  // namespace orvale
