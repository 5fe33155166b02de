#include "app/SyncResult.h"

#include "platform/StringTable.h"

namespace orvale {

int resultStringId(SyncResult result) {
    switch (result) {
        case SyncResult::Done: return kStringDone;
        case SyncResult::InitFailed: return kStringAuthFailed;
        case SyncResult::NotReached: return kStringNotReached;
        case SyncResult::Exception:
        case SyncResult::SyncFailed: break;
    }
    return kStringSyncFailed;
}

const std::u16string& resultText(SyncResult result) {
    return platform::loadString(resultStringId(result));
}

}  // namespace orvale
