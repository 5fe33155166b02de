#include "stores/DataStoreFactory.h"

#include "platform/DevicePaths.h"
#include "platform/pim/PimSession.h"
#include "stores/ChangeTrackerList.h"
#include "stores/KindRegistry.h"
#include "stores/StoreKinds.h"

namespace orvale {

// A session that cannot be opened is not reported: every store call then finds no folder and no
// item, which the stores already handle as empty results.
DataStoreFactory::DataStoreFactory(ChangeRecording recording, DeviceAccess access) : recording_(recording) {
    registerStoreKinds();
    setTrackersDiscarded(recording_ == ChangeRecording::Discard);
    using platform::pim::Session;
    const bool readOnly = access == DeviceAccess::ReadOnly;
    openError_ = readOnly ? platform::deviceRootProblem() : platform::createDeviceRoot();
    if (openError_.empty()) Session::logOn(&openError_, readOnly ? Session::Access::ReadOnly : Session::Access::ReadWrite);
}

std::string DataStoreFactory::deviceError() const {
    const platform::pim::Session* session = platform::pim::Session::current();
    return session != nullptr ? session->lastError() : openError_;
}

std::string DataStoreFactory::folderProblem(int kindCode) const {
    platform::pim::Session* session = platform::pim::Session::current();
    const KindInfo* kind = kindInfoByCode(kindCode);
    std::string why;
    if (session == nullptr || kind == nullptr || session->reachFolder(kind->folder, &why)) return {};
    return std::string(kind->folderName) + ": " + why;
}

bool DataStoreFactory::saveChanges() {
    if (recording_ == ChangeRecording::Record) return saveAndClearTrackers();
    discardTrackers();
    return true;
}

DataStoreFactory::~DataStoreFactory() {
    // Only an explicit save records anything: a save here could fail with nobody to tell.
    discardTrackers();
    if (recording_ == ChangeRecording::Discard) setTrackersDiscarded(false);
    platform::pim::Session::logOff();
}

DataStoreKind* DataStoreFactory::createKindByName(const std::string& text) {
    const KindInfo* k = kindInfoByFolderName(text);
    return k ? makeKind(k->code) : nullptr;
}

DataStoreKind* DataStoreFactory::createKindById(int code) {
    return kindInfoByCode(code) ? makeKind(code) : nullptr;
}

std::vector<DataStoreKind*> DataStoreFactory::allKinds() {
    std::vector<DataStoreKind*> out;
    for (const auto& k : knownKinds())
        if (DataStoreKind* kind = makeKind(k.code)) out.push_back(kind);
    return out;
}

}  // namespace orvale
