#include "app/RunCause.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/StringTable.h"
#include "platform/TextConversion.h"

namespace orvale {

namespace {
using platform::StringId;

// Fills %1, %2, %3 of a table text. What is filled in comes from the network or the server, so it
// is cut to a length a screen line can show.
std::u16string fill(StringId id, std::initializer_list<std::string> values) {
    constexpr std::size_t kMaxValue = 160;
    std::u16string out;
    const std::u16string& text = platform::loadString(id);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'3') {
            const auto n = static_cast<std::size_t>(text[i + 1] - u'1');
            if (n < values.size()) {
                std::string v = *(values.begin() + static_cast<std::ptrdiff_t>(n));
                if (v.size() > kMaxValue) v = v.substr(0, kMaxValue) + "...";
                out += platform::utf8ToUtf16(v);
            }
            ++i;
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

std::u16string transportText(const TransportFailure& f) {
    const std::string where = f.where.empty() ? std::string("the server") : f.where;
    switch (f.kind) {
        case TransportFailureKind::None:
        case TransportFailureKind::Aborted: return fill(StringId::CauseCancelled, {});
        case TransportFailureKind::BadUrl: return fill(StringId::CauseBadUrl, {});
        case TransportFailureKind::HostNotFound: return fill(StringId::CauseHostNotFound, {where});
        case TransportFailureKind::Refused: return fill(StringId::CauseRefused, {where});
        case TransportFailureKind::TimedOut: return fill(StringId::CauseTimedOut, {where});
        case TransportFailureKind::Untrusted: {
            // The library's words begin with a heading that says again what the text says.
            std::string why = f.detail;
            for (const char* heading : {"SSL certificate problem: ", "SSL: "})
                if (why.rfind(heading, 0) == 0) why.erase(0, std::char_traits<char>::length(heading));
            return fill(StringId::CauseUntrusted, {where, why});
        }
        case TransportFailureKind::HttpStatus: return fill(StringId::CauseHttpStatus, {where, std::to_string(f.status)});
        case TransportFailureKind::Network: return fill(StringId::CauseNetwork, {where, f.detail});
    }
    return {};
}
}  // namespace

RunCause transportCause(const TransportFailure& failure, bool urlEmpty) {
    RunCause c;
    if (failure.kind == TransportFailureKind::None) return c;
    if (failure.kind == TransportFailureKind::BadUrl) c.kind = urlEmpty ? CauseKind::EmptyUrl : CauseKind::BadUrl;
    else if (failure.kind == TransportFailureKind::Aborted) c.kind = CauseKind::Cancelled;
    else c.kind = CauseKind::Transport;
    c.transport = failure;
    return c;
}

std::u16string causeText(const RunCause& c) {
    switch (c.kind) {
        case CauseKind::None: return {};
        case CauseKind::EmptyUrl: return fill(StringId::CauseEmptyUrl, {});
        case CauseKind::BadUrl: return fill(StringId::CauseBadUrl, {});
        case CauseKind::Transport: return transportText(c.transport);
        case CauseKind::CredentialsRefused: return fill(StringId::CauseCredentials, {std::to_string(c.code)});
        case CauseKind::AuthenticationEnded: return fill(StringId::CauseAuthentication, {c.detail});
        case CauseKind::CommandRefused:
            return fill(StringId::CauseCommandRefused, {c.command, c.item.empty() ? std::string() : "(" + c.item + ")",
                                                        std::to_string(c.code)});
        case CauseKind::StoreNotOpened: return fill(StringId::CauseStoreNotOpened, {c.detail});
        case CauseKind::StoreNotWritten: return fill(StringId::CauseStoreNotWritten, {c.detail});
        case CauseKind::DiskFull: return fill(StringId::CauseDiskFull, {});
        case CauseKind::ChangesNotRecorded: return fill(StringId::CauseChangesNotRecorded, {c.detail});
        case CauseKind::FolderWithoutStore: return fill(StringId::CauseFolderWithoutStore, {});
        case CauseKind::Cancelled: return fill(StringId::CauseCancelled, {});
        case CauseKind::Engine: return fill(StringId::CauseEngine, {c.detail});
        case CauseKind::Exception: return fill(StringId::CauseException, {c.detail});
        case CauseKind::NothingToSync: return fill(StringId::CauseNothingToSync, {});
    }
    return {};
}

std::string causeTextUtf8(const RunCause& cause) { return platform::utf16ToUtf8(causeText(cause)); }

std::u16string attemptLine(const RunCause& cause, const std::u16string& time) {
    if (cause.empty()) return {};
    return fill(StringId::AttemptAt, {platform::utf16ToUtf8(time), causeTextUtf8(cause)});
}

std::u16string attemptTimeNow() {
    const platform::SystemTime t = platform::localTimeNow();
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second});
    return platform::utf8ToUtf16(text);
}

}  // namespace orvale
