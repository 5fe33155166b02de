#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stores/KindCode.h"
#include "stores/SyncMode.h"

namespace orvale {

struct StoreEndpoint {
    std::string uri;
    std::string contentType;
    std::string displayName;
};

struct SyncSource {
    int kind = 0;
    StoreEndpoint remote;
    StoreEndpoint local;
    // What the user asked this folder's session to be; two-way lets the anchors decide.
    SyncMode mode = SyncMode::TwoWay;
};

struct DeviceIdentity {
    std::string deviceId;
    std::string verDtd = "1.1";
    int deviceType = 0;
};

struct ServerConfig {
    std::string url;
    std::string user;
    std::string password;
    int authType = 0;
};

struct ProxyConfig {
    std::string address;
    std::string user;
    std::string password;
};

struct ClientConfig {
    DeviceIdentity device;
    std::uint32_t maxMessageSize = 65536;
    // The largest item we take from the server in chunks; announced as MaxObjSize.
    std::uint32_t maxObjectSize = 4 * 1024 * 1024;
    // Carried along but read by no operation.
    std::uint32_t secondarySize = 163840;
    std::vector<StoreEndpoint> localStores;
};

struct SyncConfig {
    ClientConfig client;
    ServerConfig server;
    std::vector<SyncSource> sources;
    ProxyConfig proxy;
};

// A folder whose URI is absent does not take part. The source order is fixed (contacts, tasks,
// calendar) whatever the order of the registered stores.
SyncConfig buildSyncConfig(const std::string& deviceId, const std::string& url, const std::string& user,
                           const std::string& password, const std::optional<std::string>& contactsUri,
                           const std::optional<std::string>& tasksUri,
                           const std::optional<std::string>& calendarUri,
                           const std::optional<ProxyConfig>& proxy);

// "IMEI:" and the first 11 bytes of the platform's unique id as upper-case hex; fewer bytes give
// a shorter id rather than reading past the buffer.
std::string deviceIdFromUniqueId(std::string_view uniqueIdBytes);

}  // namespace orvale
