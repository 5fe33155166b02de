#include "engine/SyncConfig.h"

namespace orvale {
namespace {

const StoreEndpoint kLocalContacts{"./WinMobileContacts", "text/x-vcard", "Contacts"};
const StoreEndpoint kLocalCalendar{"./WinMobileCalendar", "text/x-vcalendar", "Calendar"};
const StoreEndpoint kLocalTasks{"./WinMobileTasks", "text/x-vcalendar", "Tasks"};

void addSource(SyncConfig& config, int kind, const std::optional<std::string>& uri, const StoreEndpoint& local) {
    if (!uri) return;
    config.sources.push_back(SyncSource{kind, StoreEndpoint{*uri, local.contentType, ""}, local});
}

}  // namespace

SyncConfig buildSyncConfig(const std::string& deviceId, const std::string& url, const std::string& user,
                           const std::string& password, const std::optional<std::string>& contactsUri,
                           const std::optional<std::string>& tasksUri,
                           const std::optional<std::string>& calendarUri,
                           const std::optional<ProxyConfig>& proxy) {
    SyncConfig config;
    config.client.device.deviceId = deviceId;
    config.client.localStores = {kLocalContacts, kLocalCalendar, kLocalTasks};
    config.server = ServerConfig{url, user, password, 0};
    addSource(config, kKindContacts, contactsUri, kLocalContacts);
    addSource(config, kKindTasks, tasksUri, kLocalTasks);
    addSource(config, kKindCalendar, calendarUri, kLocalCalendar);
    if (proxy) config.proxy = *proxy;
    return config;
}

std::string deviceIdFromUniqueId(std::string_view uniqueIdBytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string id = "IMEI:";
    const std::size_t n = uniqueIdBytes.size() < 11 ? uniqueIdBytes.size() : 11;
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(uniqueIdBytes[i]);
        id += digits[b >> 4];
        id += digits[b & 15];
    }
    return id;
}

}  // namespace orvale
