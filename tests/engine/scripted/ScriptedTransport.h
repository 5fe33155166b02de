#pragma once
// A server that answers from a script: one reply per exchange, in order, and a record of every
// request. XML replies are turned into WBXML by libwbxml2 after the placeholders {SessionID} and
// {MsgID} take the values of the request they answer.
#include <cstdint>
#include <string>
#include <vector>

#include "transport/Transport.h"

namespace orvale::test {

struct ScriptedReply {
    enum class Kind { Xml, Bytes, Failure };
    Kind kind = Kind::Xml;
    std::string content;         // SyncML XML, or the bytes as they are
    std::uint32_t status = 200;  // HTTP status of a failure
};

struct RecordedRequest {
    std::string url;
    std::string wbxml;
    std::string xml;  // as libwbxml2 reads it; empty when it cannot
};

class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(std::vector<ScriptedReply> replies) : replies_(std::move(replies)) {}

    int exchange(const std::string& url, const std::string& request, std::string& reply) override;

    const std::vector<RecordedRequest>& requests() const { return requests_; }
    // Problems of the script itself (no reply left, a reply libwbxml2 refused).
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::vector<ScriptedReply> replies_;
    std::vector<RecordedRequest> requests_;
    std::vector<std::string> problems_;
};

}  // namespace orvale::test
