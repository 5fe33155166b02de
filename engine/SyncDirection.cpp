#include "engine/SyncDirection.h"

#include "engine/AlertCodes.h"

namespace orvale {

std::optional<SyncDirection> directionOf(int alertCode) {
    SyncDirection d;
    switch (alertCode) {
        case kAlertTwoWay:
            d.weSendChanges = d.serverSends = true;
            return d;
        case kAlertSlowSync:
            d.weSendAll = d.serverSends = true;
            return d;
        case kAlertOneWayFromClient:
            d.weSendChanges = true;
            return d;
        case kAlertRefreshFromClient:
            d.weSendAll = d.serverReplaced = true;
            return d;
        case kAlertOneWayFromServer:
            d.serverSends = true;
            return d;
        case kAlertRefreshFromServer:
            d.serverSends = d.weDropUnreceived = true;
            return d;
        default:
            return std::nullopt;
    }
}

std::optional<SyncDirection> directionOf(int alertCode, SyncMode requested) {
    std::optional<SyncDirection> d = directionOf(alertCode);
    if (d && alertCode == kAlertSlowSync && requested == SyncMode::RefreshFromDevice) {
        d->serverSends = false;
        d->serverReplaced = true;
    }
    return d;
}

int alertCodeFor(SyncMode mode) {
    switch (mode) {
        case SyncMode::TwoWay: return kAlertTwoWay;
        case SyncMode::Slow: return kAlertSlowSync;
        case SyncMode::OneWayFromDevice: return kAlertOneWayFromClient;
        case SyncMode::RefreshFromDevice: return kAlertSlowSync;
        case SyncMode::OneWayFromServer: return kAlertOneWayFromServer;
        case SyncMode::RefreshFromServer: return kAlertRefreshFromServer;
    }
    return kAlertTwoWay;
}

std::optional<int> typeNamedByServer(int code) {
    if (code >= kAlertTwoWay && code <= kAlertRefreshFromServer) return code;
    if (code == kAlertTwoWayByServer) return kAlertTwoWay;
    // 207-210 stand for 202-205.
    if (code > kAlertTwoWayByServer && code <= kAlertRefreshFromServerByServer) return code - 5;
    return std::nullopt;
}

bool wholeFolderType(int alertCode) {
    return alertCode == kAlertSlowSync || alertCode == kAlertRefreshFromClient || alertCode == kAlertRefreshFromServer;
}

}  // namespace orvale
