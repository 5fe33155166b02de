#pragma once
// What the server said about itself in its device information.
#include <string>
#include <vector>

#include "syncml/ContentType.h"

namespace orvale {

struct RemoteDevice {
    std::string verDtd, man, mod, oem, fwv, swv, hwv, devId;
};

struct RemoteDataStore {
    std::string sourceRef;
    std::string displayName;
    ContentType rxPref;
    ContentType txPref;
    std::vector<ContentType> rx;
    std::vector<ContentType> tx;
};

struct RemoteDeviceInfo {
    RemoteDevice device;
    std::vector<RemoteDataStore> dataStores;
};

}  // namespace orvale
