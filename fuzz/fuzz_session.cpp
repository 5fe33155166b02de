// Any bytes, read as the server's replies of one whole session (replies separated by FF FE FD FC)
// against the real device stores: the client must end with a result or its own exceptions, never
// crash, leak or run away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AbortRecord.h"
#include "engine/CSyncClientException.h"
#include "engine/SessionDataStore.h"
#include "engine/SyncClient.h"
#include "engine/SyncObserver.h"
#include "stores/CDataStoreException.h"
#include "stores/DataStoreFactory.h"
#include "stores/SyncAnchorException.h"
#include "syncml/CBuildItemsException.h"
#include "transport/Transport.h"

namespace {

constexpr std::string_view kSeparator("\xFF\xFE\xFD\xFC", 4);

class ReplayTransport : public orvale::Transport {
public:
    explicit ReplayTransport(std::vector<std::string> replies) : replies_(std::move(replies)) {}
    int exchange(const std::string&, const std::string&, std::string& reply) override {
        reply.clear();
        if (next_ >= replies_.size()) {
            lastStatus_ = 500;
            return 1;
        }
        reply = replies_[next_++];
        lastStatus_ = 200;
        return 0;
    }
    std::uint32_t status() const override { return lastStatus_; }

private:
    std::vector<std::string> replies_;
    std::size_t next_ = 0;
};

std::vector<std::string> split(std::string_view data) {
    std::vector<std::string> out;
    while (out.size() < 64) {
        const std::size_t at = data.find(kSeparator);
        out.emplace_back(data.substr(0, at));
        if (at == std::string_view::npos) break;
        data.remove_prefix(at + kSeparator.size());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char root[] = "/tmp/orvale-fuzz-session-XXXXXX";
    if (mkdtemp(root) == nullptr) std::abort();
    setenv("ORVALE_DEVICE_ROOT", root, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvale;
    ReplayTransport transport(split(std::string_view(reinterpret_cast<const char*>(data), size)));
    DataStoreFactory factory;
    SessionDataStore session{SessionDataStore::InMemory{}};
    SyncObserver observer;
    ClientConfig config;
    config.device.deviceId = "IMEI:00";
    const std::vector<SyncSource> sources{
        SyncSource{kKindContacts, {"./contacts", "text/x-vcard", ""}, {"./WinMobileContacts", "text/x-vcard", "Contacts"}}};
    try {
        SyncClient client(config, factory, transport, observer, std::make_shared<AbortRecord>(), session);
        const int result = static_cast<int>(client.run(ServerConfig{"http://s", "u", "p", 0}, sources));
        if (result < 0 || result > 4) std::abort();
    } catch (const CSyncClientException&) {
    } catch (const SyncAnchorException&) {
    } catch (const CBuildItemsException&) {
    } catch (const CDataStoreException&) {
    }
    factory.saveChanges();
    return 0;
}
