#include "app/LoggedTransport.h"

#include <chrono>
#include <cstdio>

#include "app/DiagnosticLog.h"
#include "app/RunCause.h"

namespace orvale {

int LoggedTransport::exchange(const std::string& url, const std::string& request, std::string& reply) {
    const auto begin = std::chrono::steady_clock::now();
    const int result = inner_.exchange(url, request, reply);
    errorFlag_ = inner_.errorFlag();
    lastStatus_ = inner_.status();
    failure_ = inner_.lastFailure();
    ++message_;
    if (log_ == nullptr) return result;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin).count();
    char timing[32];
    std::snprintf(timing, sizeof timing, "%lld.%03lld s", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    std::string line = "message " + std::to_string(message_) + ": " + std::to_string(request.size()) + " bytes sent, ";
    if (failure_.kind == TransportFailureKind::None || failure_.kind == TransportFailureKind::HttpStatus) {
        line += "HTTP " + std::to_string(inner_.status()) + ", " + std::to_string(reply.size()) + " bytes received";
    } else {
        RunCause cause;
        cause.kind = CauseKind::Transport;
        cause.transport = failure_;
        line += "no answer (" + causeTextUtf8(cause) + ")";
    }
    log_->line(line + ", " + timing);
    return result;
}

}  // namespace orvale
