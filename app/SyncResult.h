#pragma once
// The outcome of one sync run, and the words the screens show for it.
#include <cstdint>
#include <string>

#include "engine/SyncResult.h"
#include "platform/StringId.h"

namespace orvale {

// 0 "Done!", 1 "Authentication failed", 3 "Could not reach the server", 2 and 4 "Sync failed".
platform::StringId resultStringId(SyncResult result);
const std::u16string& resultText(SyncResult result);

}  // namespace orvale
