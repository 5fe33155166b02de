#pragma once
// The outcome of one sync run, and the words the screens show for it.
#include <cstdint>
#include <string>

#include "engine/SyncResult.h"

namespace orvale {

inline constexpr int kStringLastSyncPrefix = 243;  // "Synchronized: "
inline constexpr int kStringSyncing = 244;
inline constexpr int kStringSyncFailed = 245;
inline constexpr int kStringAuthFailed = 246;
inline constexpr int kStringDone = 247;
inline constexpr int kStringNotReached = 277;
inline constexpr int kStringChooseFolder = 281;
inline constexpr int kStringFindingServer = 289;

// 0 "Done!", 1 "Authentication failed", 3 "Could not reach the server", 2 and 4 "Sync failed".
int resultStringId(SyncResult result);
const std::u16string& resultText(SyncResult result);

}  // namespace orvale
