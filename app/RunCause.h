#pragma once
// Why a run ended as it did, in terms a person can act on: the transport's failure, the server's
// refusal, the device store's trouble. The run's result stays the number the screens have always
// shown; the cause is told beside it.
#include <string>

#include "transport/TransportFailure.h"

namespace orvale {

enum class CauseKind : int {
    None = 0,
    EmptyUrl,
    BadUrl,
    Transport,            // see `transport`
    CredentialsRefused,   // the server answered the header with `code` (401, 407)
    AuthenticationEnded,  // the engine stopped sending credentials; `detail` says why
    CommandRefused,       // the server answered `command` (on `item`) with `code`
    StoreNotOpened,       // the device store; `detail` says why
    StoreNotWritten,
    DiskFull,
    ChangesNotRecorded,   // the session completed, the change databases could not be written
    FolderWithoutStore,
    Cancelled,
    Engine,               // the session ended for a reason the engine gave in `detail`
    Exception,            // `detail` is the exception's text
    NothingToSync,        // no settings, or no chosen folder with a database URI
};

struct RunCause {
    CauseKind kind = CauseKind::None;
    TransportFailure transport;
    int code = 0;
    std::string command;
    std::string item;
    std::string detail;

    bool empty() const { return kind == CauseKind::None; }
};

// What a failed exchange says about the run: the transport's failure (a URL it would not use, no
// answer, an HTTP status); None when the transport did not fail.
RunCause transportCause(const TransportFailure& failure, bool urlEmpty);

// One line: the cause and, where there is one, what to do ("Wrong user name or password (the server
// answered 401): check them in Settings"). Empty for no cause.
std::u16string causeText(const RunCause& cause);
std::string causeTextUtf8(const RunCause& cause);

// The line the screens show under the result: the cause after the time of the attempt, so that a
// failure repeated is visibly a new attempt. `time` is the local time of the attempt ("09:12:05").
std::u16string attemptLine(const RunCause& cause, const std::u16string& time);
// The local time now as the attempt line shows it.
std::u16string attemptTimeNow();

}  // namespace orvale
