#include "transport/CurlClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace orvale {

namespace {

constexpr long kConnectTimeoutMs = 300000;
// libcurl has no send or receive time-out of its own; a transfer that moves less than a byte a
// second for this long counts as timed out, which is what those time-outs guard against.
constexpr long kStallSeconds = 300;
constexpr int kConnectAttempts = 3;
// How long one wait for network activity lasts before the abort flag is looked at again; an
// abort also wakes the wait at once.
constexpr int kPollMs = 200;

void ensureCurlReady() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

struct BodySink {
    CURL* easy = nullptr;
    std::size_t limit = 0;
    std::string body;
    bool stopped = false;  // we ended the transfer on purpose: the body is as complete as wanted
};

// Only a 200 reply has a body worth keeping; for anything else, and past the limit, the transfer
// is stopped rather than drained, so a server cannot keep us reading without end.
std::size_t onBodyData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t length = size * count;
    long status = 0;
    curl_easy_getinfo(sink->easy, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        sink->stopped = true;
        return 0;
    }
    const std::size_t take = std::min(length, sink->limit - sink->body.size());
    sink->body.append(data, take);
    if (take < length) {
        sink->stopped = true;
        return 0;  // anything short of `length` ends the transfer
    }
    return length;
}

bool startsWithIgnoringCase(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size()) return false;
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

curl_slist* append(curl_slist* list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list, line.c_str());
    return grown != nullptr ? grown : list;
}

// The header lines sent are exactly the caller's: libcurl's own Accept, Expect and default
// Content-Type are switched off.
curl_slist* buildHeaderList(const HttpRequestParts& layout) {
    curl_slist* list = nullptr;
    bool hasContentType = false;
    for (const auto& line : layout.headerLines) {
        list = append(list, line);
        hasContentType = hasContentType || startsWithIgnoringCase(line, "content-type:");
    }
    list = append(list, "Accept:");
    list = append(list, "Expect:");
    if (layout.post && !hasContentType) list = append(list, "Content-Type:");
    return list;
}

void configure(CURL* easy, const HttpRequestParts& layout, curl_slist* headers, BodySink& sink) {
    curl_easy_setopt(easy, CURLOPT_URL, layout.url->requestUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, layout.agent.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    // Every exchange has a connection of its own, as the server sees it.
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    if (layout.timeoutMs > 0) curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, layout.timeoutMs);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    // A private CA is trusted in addition to the system store, which libcurl keeps as its
    // certificate folder.
    if (const char* caFile = std::getenv("ORVALE_CA_FILE"); caFile != nullptr && *caFile != '\0') {
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile);
    }
    if (layout.proxy) curl_easy_setopt(easy, CURLOPT_PROXY, layout.proxy->c_str());
    if (layout.post) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, layout.body.data());
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(layout.body.size()));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBodyData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
}

TransportFailureKind failureKind(CURLcode result) {
    switch (result) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return TransportFailureKind::HostNotFound;
        case CURLE_COULDNT_CONNECT: return TransportFailureKind::Refused;
        case CURLE_OPERATION_TIMEDOUT: return TransportFailureKind::TimedOut;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS: return TransportFailureKind::Untrusted;
        default: return TransportFailureKind::Network;
    }
}

}  // namespace

CurlClient::CurlClient() {
    ensureCurlReady();
    multi_ = curl_multi_init();
}

CurlClient::~CurlClient() {
    if (multi_ != nullptr) curl_multi_cleanup(static_cast<CURLM*>(multi_));
}

void CurlClient::abort() {
    aborted_.store(true);
    if (multi_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

namespace {

// Runs one attempt to its end; false when it was aborted or the multi interface failed.
bool runTransfer(CURLM* multi, CURL* easy, const std::atomic<bool>& aborted, CURLcode& result) {
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) return false;
    bool finished = false;
    while (!aborted.load()) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &queued)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                result = msg->data.result;
                finished = true;
            }
        }
        if (finished || running == 0) break;
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) break;
    }
    curl_multi_remove_handle(multi, easy);
    return finished;
}

}  // namespace

HttpOutcome CurlClient::perform(const HttpRequestParts& layout) {
    HttpOutcome outcome;
    if (multi_ == nullptr || layout.url == nullptr || aborted_.load()) {
        outcome.failure = TransportFailureKind::Aborted;
        return outcome;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<curl_slist, ListDeleter> headers(buildHeaderList(layout));
    if (!easy) return outcome;

    CURLcode result = CURLE_OK;
    BodySink sink;
    char errorText[CURL_ERROR_SIZE] = {};
    for (int attempt = 1; attempt <= kConnectAttempts; ++attempt) {
        sink = BodySink{};
        sink.easy = easy.get();
        sink.limit = layout.bodyLimit;
        configure(easy.get(), layout, headers.get(), sink);
        errorText[0] = '\0';
        curl_easy_setopt(easy.get(), CURLOPT_ERRORBUFFER, errorText);
        if (!runTransfer(static_cast<CURLM*>(multi_), easy.get(), aborted_, result)) {
            outcome.failure = TransportFailureKind::Aborted;
            return outcome;
        }
        if (result != CURLE_COULDNT_CONNECT) break;
    }

    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    outcome.status = status;
    outcome.complete = result == CURLE_OK || (result == CURLE_WRITE_ERROR && sink.stopped);
    if (status == 200) outcome.body = std::move(sink.body);
    if (status == 0 && result != CURLE_OK) {
        outcome.failure = failureKind(result);
        outcome.failureText = errorText[0] != '\0' ? std::string(errorText) : std::string(curl_easy_strerror(result));
    }
    return outcome;
}

}  // namespace orvale
