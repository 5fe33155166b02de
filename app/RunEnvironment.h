#pragma once
// The collaborators a run creates for itself: the transport and the session engine. The program
// uses the real ones; tests replace them with scripted doubles.
#include <functional>
#include <memory>

#include "app/SyncSession.h"
#include "transport/ProxyDescriptor.h"

namespace orvale {

class Transport;

struct RunTransport {
    std::unique_ptr<Transport> transport;
    // Cuts the transfer in progress and every later one; callable from any thread.
    std::function<void()> abort;
};

struct RunEnvironment {
    std::function<RunTransport(const ProxyDescriptor&)> makeTransport;
    SessionMaker makeSession;

    // The HTTP transport with the SyncML WBXML content type, and the program's engine.
    static RunEnvironment standard();
};

}  // namespace orvale
