#include "engine/DeviceInfo.h"

#include "engine/SessionDataStore.h"
#include "syncml/DevInfDocument.h"
#include "syncml/DevInfElements.h"
#include "syncml/ItemElements.h"
#include "syncml/Toolkit.h"

namespace orvale {
namespace {

// No message we accept is larger than the workspace, so neither is a document inside one.
constexpr std::size_t kMaxOpaqueDevInfBytes = 204800;
// What we keep of a server's self-description; a longer list is cut, not trusted.
constexpr std::size_t kMaxRemoteDataStores = 64;
constexpr std::size_t kMaxContentTypesPerList = 64;

ContentType contentTypeOf(const DevInfXmitElement* x) {
    return x != nullptr ? ContentType(x->ctType(), x->verCT()) : ContentType();
}

std::vector<ContentType> contentTypesOf(const DevInfXmitListElement* list) {
    std::vector<ContentType> out;
    if (list == nullptr) return out;
    for (std::size_t i = 0; i < list->size() && out.size() < kMaxContentTypesPerList; ++i)
        if (const DevInfXmitElement* x = list->at(i)) out.push_back(contentTypeOf(x));
    return out;
}

RemoteDataStore remoteStoreOf(const DevInfDataStoreElement& ds) {
    RemoteDataStore r;
    r.sourceRef = ds.sourceRef();
    r.displayName = ds.displayName();
    r.rxPref = contentTypeOf(ds.rxPref());
    r.txPref = contentTypeOf(ds.txPref());
    r.rx = contentTypesOf(ds.rx());
    r.tx = contentTypesOf(ds.tx());
    return r;
}

void readDevInf(const DevInfoElement& d, RemoteDeviceInfo& out, SessionDataStore& data) {
    out.device = RemoteDevice{d.verDTD(), d.man(), d.mod(), d.oem(), d.fwV(), d.swV(), d.hwV(), d.devID()};
    data.setBool(kKeySupportLargeObjects, d.supportLargeObjs());
    // Each document describes the server completely; a repeated answer replaces the earlier one.
    out.dataStores.clear();
    const DevInfDatastoreListElement* stores = d.dataStores();
    if (stores == nullptr) return;
    for (std::size_t i = 0; i < stores->size() && out.dataStores.size() < kMaxRemoteDataStores; ++i)
        if (const DevInfDataStoreElement* ds = stores->at(i)) out.dataStores.push_back(remoteStoreOf(*ds));
}

// The element of a DevInf document sent as opaque WBXML bytes; null when the bytes are not one.
DevInfoElement* decodeOpaque(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > kMaxOpaqueDevInfBytes) return nullptr;
    DevInfRecord* record = nullptr;
    const ToolkitCode c = decodeDevInfDocument(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &record);
    if (c != code::Ok || record == nullptr) {
        if (record != nullptr) toolkit::freeDevInfRecord(record);
        return nullptr;
    }
    DevInfoElement* d = devInfFromRecord(record);
    toolkit::freeDevInfRecord(record);
    return d;
}

}  // namespace

void readServerDeviceInfo(const ItemListElement* items, RemoteDeviceInfo& out, SessionDataStore& data) {
    if (items == nullptr) return;
    for (std::size_t i = 0; i < items->size(); ++i) {
        const ItemElement* item = items->at(i);
        const CData* c = item != nullptr ? item->dataCData() : nullptr;
        if (c == nullptr) continue;
        if (const DevInfoElement* structured = c->devInf()) {
            readDevInf(*structured, out, data);
            continue;
        }
        if (c->contentType() != pcdata_type::Opaque) continue;
        DevInfoElement* decoded = decodeOpaque(c->bytes());
        if (decoded == nullptr) continue;
        decoded->addRef();
        readDevInf(*decoded, out, data);
        decoded->release();
    }
}

}  // namespace orvale
