#include "app/SyncResult.h"

#include "platform/StringTable.h"

namespace orvale {

platform::StringId resultStringId(SyncResult result) {
    switch (result) {
        case SyncResult::Done: return platform::StringId::ResultDone;
        case SyncResult::InitFailed: return platform::StringId::AuthFailed;
        case SyncResult::NotReached: return platform::StringId::NotReached;
        case SyncResult::Exception:
        case SyncResult::SyncFailed: break;
    }
    return platform::StringId::SyncFailed;
}

const std::u16string& resultText(SyncResult result) {
    return platform::loadString(resultStringId(result));
}

}  // namespace orvale
