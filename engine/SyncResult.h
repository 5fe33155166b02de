#pragma once
// The outcome of one sync run. The engine gives Done, InitFailed, NotReached (aborted) and
// SyncFailed; the run driver adds Exception and turns a server it could not reach into NotReached.
#include <cstdint>

namespace orvale {

enum class SyncResult : std::int32_t {
    Done = 0,
    InitFailed = 1,   // credentials refused
    Exception = 2,    // the run ended by an exception
    NotReached = 3,   // the server could not be reached, or the run was aborted
    SyncFailed = 4,   // the synchronisation phase failed
};

}  // namespace orvale
