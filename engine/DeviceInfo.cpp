#include "engine/DeviceInfo.h"

#include <initializer_list>

#include "syncml/ContentType.h"
#include "syncml/DevInfElements.h"

namespace orvale {
namespace {

constexpr const char* kManufacturer = "Tarnwell Corp";
constexpr const char* kModel = "Orvale Windows Mobile";
constexpr const char* kFirmwareVersion = "1.0";
constexpr const char* kSoftwareVersion = "1.0.13";
constexpr const char* kHardwareVersion = "1.0";

const char* deviceTypeWord(int code) {
    switch (code) {
        case 0: return "handheld";
        case 1: return "pager";
        case 2: return "pda";
        case 3: return "server";
        case 4: return "smartphone";
        default: return "UNDEFINED";
    }
}

DevInfXmitElement* xmitFor(const std::string& contentType) {
    const ContentType ct(contentType);
    return new DevInfXmitElement(ct.mimeType(), ct.version());
}

DevInfDataStoreElement* dataStoreFor(const StoreEndpoint& store) {
    auto* ds = new DevInfDataStoreElement();
    ds->setSourceRef(store.uri);
    ds->setDisplayName(store.displayName);
    // The stores read and write the same format, so receive and send preferences agree.
    ds->setRxPref(xmitFor(store.contentType));
    ds->setTxPref(xmitFor(store.contentType));
    auto* cap = new DevInfSyncCapElement();
    cap->addSyncType("1");
    cap->addSyncType("2");
    ds->setSyncCap(cap);
    return ds;
}

DevInfCtDataElement* ctData(const char* name, std::initializer_list<const char*> values = {}) {
    auto* d = new DevInfCtDataElement();
    d->setName(name);
    for (const char* v : values) d->addValEnum(v);
    return d;
}

DevInfCtDataPropElement* property(const char* name, std::initializer_list<const char*> values = {},
                                  std::initializer_list<const char*> params = {}) {
    auto* p = new DevInfCtDataPropElement();
    p->setProperty(ctData(name, values));
    for (const char* param : params) p->addParams(ctData(param));
    return p;
}

void addPlainProperties(CtCapsInfElement* cap, std::initializer_list<const char*> names) {
    for (const char* n : names) cap->addProps(property(n));
}

CtCapsInfElement* vCardCapabilities() {
    auto* cap = new CtCapsInfElement();
    // Announced as text/vcard although the items travel as text/x-vcard: this is what the device has
    // always announced, and servers may already match on it.
    cap->setCTType("text/vcard");
    cap->addProps(property("BEGIN", {"VCARD"}));
    cap->addProps(property("END", {"VCARD"}));
    cap->addProps(property("VERSION", {"2.1"}));
    addPlainProperties(cap, {"N", "FN", "TITLE", "ORG", "BDAY", "NOTE", "URL", "SOUND", "EMAIL", "UID",
                             "X-ORVALE-ANNIVERSARY", "X-ORVALE-OFFICE", "X-ORVALE-ASSISTANT", "X-ORVALE-SPOUSE",
                             "X-ORVALE-CHILDREN", "X-ORVALE-MANAGER", "X-ORVALE-GOVERMENT", "X-ORVALE-ACCOUNT",
                             "X-ORVALE-CUSTOMER", "X-ORVALE-NICKNAME", "X-ORVALE-IM", "PHOTO"});
    cap->addProps(property("TEL", {},
                           {"FAX", "CELL", "CAR", "WORK", "HOME", "PAGER", "X-ORVALE-ASSISTANT-TEL",
                            "X-ORVALE-RADIO-TEL", "X-ORVALE-COMPANY-TEL"}));
    cap->addProps(property("ADR", {}, {"HOME", "WORK"}));
    return cap;
}

CtCapsInfElement* vCalendarCapabilities() {
    auto* cap = new CtCapsInfElement();
    cap->setCTType("text/x-vcalendar");
    cap->addProps(property("BEGIN", {"VCALENDAR", "VEVENT", "VTODO"}));
    cap->addProps(property("END", {"VCALENDAR", "VEVENT", "VTODO"}));
    cap->addProps(property("VERSION", {"1.0"}));
    addPlainProperties(cap, {"DTSTART", "DTEND", "DUE", "COMPLETED", "SUMMARY", "DESCRIPTION", "CATEGORIES", "DALARM",
                             "AALARM", "STATUS", "UID", "RRULE", "EXDATE", "LOCATION", "ATTENDEE", "CLASS", "TZ",
                             "PRIORITY"});
    return cap;
}

}  // namespace

DevInfoElement* buildDeviceInfo(const ClientConfig& config) {
    auto* d = new DevInfoElement();
    d->setVerDTD(config.device.verDtd);
    d->setMan(kManufacturer);
    d->setMod(kModel);
    d->setOEM(kManufacturer);
    d->setFwV(kFirmwareVersion);
    d->setSwV(kSoftwareVersion);
    d->setHwV(kHardwareVersion);
    d->setDevID(config.device.deviceId);
    d->setDevTyp(deviceTypeWord(config.device.deviceType));
    d->setUTC(true);
    d->setSupportNumberOfChanges(true);
    d->setSupportLargeObjs(true);
    for (const StoreEndpoint& store : config.localStores) d->addDataStores(dataStoreFor(store));
    d->addCtCaps(vCardCapabilities());
    d->addCtCaps(vCalendarCapabilities());
    return d;
}

}  // namespace orvale
