#include "engine/PackageFlow.h"

namespace orvale {

bool PackageFlow::finalMessage(bool ourPackageComplete) {
    // The Alert is queued behind every other answer: a message that drained the queues has it.
    alertSent_ = alertQueued_ && ourPackageComplete;
    if (alertSent_) alertQueued_ = false;
    return ourPackageComplete && !alertSent_;
}

PackageFlow::Next PackageFlow::replyHandled(const Exchange& exchange) {
    idle_ = exchange.progress ? 0 : idle_ + 1;
    if (idle_ >= kMaxIdleExchanges) return Next::Stalled;
    // The server may answer a message of ours with its own commands before our package is
    // complete; they are answered in the messages that carry the rest of it.
    if (!exchange.ourPackageComplete) return Next::Send;
    if (exchange.serverPackageComplete) {
        // Our answers to its complete package go once; a reply to them that brings nothing new
        // (a server repeating itself) is not answered again.
        const bool answer = exchange.answersQueued && (!answeredComplete_ || exchange.progress);
        answeredComplete_ = true;
        return answer ? Next::Send : Next::Done;
    }
    return Next::AskForMore;
}

}  // namespace orvale
