#include "engine/FolderProgress.h"

namespace orvale {

void FolderProgress::changesAdded(bool all) {
    changesSent_ = all;
    if (!all) pass_ = 0;
    // While our Alert 222 waits for its Status, the reply decides.
    if (all && exchange_ == Exchange::Open) exchange_ = Exchange::Finished;
}

void FolderProgress::nothingLeftToSend() {
    if (exchange_ == Exchange::Open) exchange_ = Exchange::Finished;
}

void FolderProgress::moreAnswered(bool refused) { exchange_ = refused ? Exchange::Finished : Exchange::Open; }

void FolderProgress::packageEnded(bool commandsQueued, std::size_t statusesQueued) {
    if (commandsQueued || !changesSent_) {
        exchange_ = Exchange::Open;
        pass_ = 0;
    } else if (pass_ <= 1 && lastFolder_ && statusesQueued >= 2) {
        // One more message so the server gets the statuses of its last commands.
        exchange_ = Exchange::Open;
        pass_ = 1;
    }
}

FolderProgress::Request FolderProgress::packageOpen(bool packageComplete, bool serverSyncSeen, bool outstanding) {
    const bool noRequest = packageComplete || (!serverSyncSeen && (!changesSent_ || !lastFolder_));
    previousComplete_ = noRequest;
    if (noRequest) return Request::None;
    if (outstanding && ++alert222s_ >= kMaxAlert222) {
        // Asking again and again would never end with a server that lost them.
        exchange_ = Exchange::Finished;
        return Request::GiveUp;
    }
    return Request::AskForMore;
}

void FolderProgress::askedForMore() {
    exchange_ = Exchange::AskedForMore;
    pass_ = 0;
}

}  // namespace orvale
