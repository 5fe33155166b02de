#include "app/SessionCause.h"

#include <filesystem>
#include <system_error>

#include "app/RunWatch.h"
#include "platform/DevicePaths.h"
#include "transport/Transport.h"

namespace orvale {

bool deviceDiskFull() {
    std::error_code ec;
    const auto space = std::filesystem::space(platform::deviceRoot(), ec);
    return !ec && space.available < 64 * 1024;
}

RunCause sessionCause(SyncResult result, const RunWatch& watch, const Transport& transport, bool urlEmpty,
                      const std::string& exceptionText) {
    RunCause c;
    auto store = [&](CauseKind kind, const std::string& detail) {
        c.kind = deviceDiskFull() ? CauseKind::DiskFull : kind;
        c.detail = detail;
        return c;
    };
    // A failed exchange comes first: nothing the engine saw after it was heard from the server.
    if (transport.errorFlag() == 1) {
        if (RunCause t = transportCause(transport.lastFailure(), urlEmpty); !t.empty()) return t;
    }
    if (!watch.storeNotWritten().empty()) return store(CauseKind::StoreNotWritten, watch.storeNotWritten());
    if (!watch.storeNotOpened().empty()) return store(CauseKind::StoreNotOpened, watch.storeNotOpened());
    if (result == SyncResult::InitFailed && watch.credentialsRefused() != 0) {
        c.kind = CauseKind::CredentialsRefused;
        c.code = watch.credentialsRefused();
        return c;
    }
    if (const auto& refused = watch.firstRefusal()) {
        c.kind = CauseKind::CommandRefused;
        c.command = refused->command;
        c.item = refused->item;
        c.code = refused->code;
        return c;
    }
    if (result == SyncResult::Exception) {
        c.kind = CauseKind::Exception;
        c.detail = exceptionText;
        return c;
    }
    if (result == SyncResult::InitFailed && !watch.lastText().empty()) {
        c.kind = CauseKind::AuthenticationEnded;
        c.detail = watch.lastText();
        return c;
    }
    c.kind = CauseKind::Engine;
    c.detail = watch.lastText().empty() ? std::string("the server's answers did not complete it") : watch.lastText();
    return c;
}

}  // namespace orvale
