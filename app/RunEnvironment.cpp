#include "app/RunEnvironment.h"

#include "transport/HttpTransport.h"

namespace orvale {

RunEnvironment RunEnvironment::standard() {
    RunEnvironment env;
    env.makeTransport = [](const ProxyDescriptor& proxy) {
        auto http = std::make_unique<HttpTransport>(proxy, ContentType("application/vnd.syncml+wbxml"));
        HttpTransport* raw = http.get();
        return RunTransport{std::move(http), [raw] { raw->abort(); }};
    };
    env.makeSession = makeEngineSession;
    return env;
}

}  // namespace orvale
