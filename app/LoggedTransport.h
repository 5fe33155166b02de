#pragma once
// The run's transport as the engine sees it: the real one, with each exchange written into the
// diagnostic log (message number, bytes each way, HTTP status, time taken).
#include "transport/Transport.h"

namespace orvale {

class DiagnosticLog;

class LoggedTransport : public Transport {
  public:
    LoggedTransport(Transport& inner, DiagnosticLog* log) : inner_(inner), log_(log) {}

    int exchange(const std::string& url, const std::string& request, std::string& reply) override;
    std::uint32_t status() const override { return inner_.status(); }

  private:
    Transport& inner_;
    DiagnosticLog* log_;
    int message_ = 0;
};

}  // namespace orvale
