#pragma once
// Where one folder's exchange stands between two messages of the synchronisation phase. The
// folder's messages go on while the exchange is open and fewer than three passes went by without
// anything new to send; each event of a message moves it by one named transition.
#include <cstddef>

namespace orvale {

class FolderProgress {
public:
    enum class Exchange {
        Open,          // messages go on
        AskedForMore,  // our Alert 222 went out; its Status is awaited in the next reply
        Finished,      // nothing more to send or to ask for
    };
    // What the folder's next message has to do for a server package that is not complete.
    enum class Request { None, AskForMore, GiveUp };

    explicit FolderProgress(bool lastFolder) : lastFolder_(lastFolder) {}

    Exchange exchange() const { return exchange_; }
    bool lastFolder() const { return lastFolder_; }
    bool changesSent() const { return changesSent_; }
    // Another message of the folder is due.
    bool goesOn() const { return exchange_ != Exchange::Finished && pass_ < kMaxPasses; }
    // Counts a message; false once the server has kept the folder going for too long.
    bool messageAllowed() { return ++messages_ <= kMaxMessages; }
    // The message carries everything queued and every change of the run's last folder.
    bool messageComplete(bool everythingFit) const { return everythingFit && changesSent_ && lastFolder_; }
    // The message closes our package: no Alert 222 of ours waits for its Status.
    bool finalMessage() const { return changesSent_ && lastFolder_ && exchange_ != Exchange::AskedForMore; }

    // --- transitions of our side of a message
    // The folder's Sync went into the message with some or all of its changes.
    void changesAdded(bool all);
    // Everything queued fit and every change was sent before.
    void nothingLeftToSend();

    // --- transitions of the reply
    // The server answered our Alert 222.
    void moreAnswered(bool refused);
    // The previous reply asked for nothing.
    bool previousComplete() const { return previousComplete_; }
    // The server's package is complete, and the previous reply did not ask for anything either.
    void packageEnded(bool commandsQueued, std::size_t statusesQueued);
    // The server's package is still open (or closed after an open one): whether we ask for more.
    // `serverSyncSeen`: the server opened its Sync of the folder; `outstanding`: statuses of our
    // commands are still missing.
    Request packageOpen(bool packageComplete, bool serverSyncSeen, bool outstanding);
    // We queued our Alert 222.
    void askedForMore();
    // The reply is handled.
    void passEnded() { ++pass_; }

private:
    static constexpr int kMaxPasses = 3;
    static constexpr int kMaxAlert222 = 300;
    // A server that never completes its package must not keep the session alive forever.
    static constexpr int kMaxMessages = 10000;

    bool lastFolder_;
    Exchange exchange_ = Exchange::Open;
    // The folder's changes are all in messages.
    bool changesSent_ = false;
    // The previous reply asked for nothing.
    bool previousComplete_ = true;
    int pass_ = 0;
    int alert222s_ = 0;
    int messages_ = 0;
};

}  // namespace orvale
