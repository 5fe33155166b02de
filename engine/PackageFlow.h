#pragma once
// Where the synchronisation phase stands between two messages. Our package (every folder's Sync
// with its changes, and the answers queued for the server) goes out message after message whatever
// the server sends meanwhile, and the message that completes it carries Final; only then is the
// server asked for the rest of its package (Alert 222). A session whose exchanges stop making
// progress ends instead of running into the message bound.
#include <cstddef>

namespace orvale {

class PackageFlow {
public:
    // What follows a handled reply.
    enum class Next {
        Send,        // another message: the rest of our package, or answers to the server's commands
        AskForMore,  // our package is complete, the server's is not: a message with our Alert 222
        Done,        // both packages are complete and nothing is left to answer
        Stalled,     // kMaxIdleExchanges exchanges in a row without anything new either way
    };
    // What one exchange carried, as the next step depends on it.
    struct Exchange {
        bool ourPackageComplete = false;  // the message carried the last of our package
        bool serverPackageComplete = false;  // Final, the server's Alert 222, or our Alert 222 refused
        bool answersQueued = false;       // commands, or statuses beyond the one for its header
        bool progress = false;            // a new command either way
    };

    // Counts a message; false once the bound is reached.
    bool messageAllowed() { return ++messages_ <= kMaxMessages; }
    // Our Alert 222 is queued; it goes out with the next message that drains the queues.
    void askForMore() { alertQueued_ = true; }
    // Whether the message under construction carries Final: it closes our package and does not ask
    // for more. `ourPackageComplete`: everything queued and every change is in it.
    bool finalMessage(bool ourPackageComplete);
    // The message just sent carried our Alert 222: its Status must be in the reply.
    bool askedForMore() const { return alertSent_; }
    Next replyHandled(const Exchange& exchange);
    int idleExchanges() const { return idle_; }

    static constexpr int kMaxIdleExchanges = 5;
    static constexpr int kMaxMessages = 10000;

private:
    bool alertQueued_ = false;
    bool alertSent_ = false;
    // A complete server package was answered already.
    bool answeredComplete_ = false;
    int idle_ = 0;
    int messages_ = 0;
};

}  // namespace orvale
