#pragma once
// Device information: the DevInf document and its data stores, content-type capabilities and
// extensions.
#include "syncml/ElementFields.h"
#include "syncml/ListElement.h"

namespace orvale {

class DevInfXmitElement : public SyncElement {  // Rx, Tx, Rx-Pref, Tx-Pref
public:
    DevInfXmitElement() : SyncElement("DevInfXmitElement", layout::rx) {}
    DevInfXmitElement(const std::string& ctType, const std::string& verCT) : DevInfXmitElement() {
        setCTType(ctType);
        setVerCT(verCT);
    }
    ORVALE_TEXT_FIELD(ctType, CTType, xmit_field::CTType)
    ORVALE_TEXT_FIELD(verCT, VerCT, xmit_field::VerCT)
};

class DevInfDsmemElement : public SyncElement {
public:
    DevInfDsmemElement() : SyncElement("DevInfDsmemElement", layout::dsMem) {}
    ORVALE_FLAG_FIELD(sharedMem, SharedMem, dsmem_field::SharedMem)
    ORVALE_TEXT_FIELD(maxMem, MaxMem, dsmem_field::MaxMem)
    ORVALE_TEXT_FIELD(maxID, MaxID, dsmem_field::MaxID)
};

class DevInfSyncCapElement : public SyncElement {
public:
    DevInfSyncCapElement() : SyncElement("DevInfSyncCapElement", layout::syncCap) {}
    ORVALE_TEXT_LIST_FIELD(syncTypes, SyncTypes, SyncType, synccap_field::SyncTypes)
};

class DevInfDataStoreElement : public SyncElement {
public:
    DevInfDataStoreElement() : SyncElement("DevInfDataStoreElement", layout::dataStore) {}
    ORVALE_TEXT_FIELD(sourceRef, SourceRef, datastore_field::SourceRef)
    ORVALE_TEXT_FIELD(displayName, DisplayName, datastore_field::DisplayName)
    ORVALE_TEXT_FIELD(maxGUIDSize, MaxGUIDSize, datastore_field::MaxGUIDSize)
    ORVALE_CHILD_FIELD(rxPref, RxPref, DevInfXmitElement, datastore_field::RxPref)
    ORVALE_LIST_FIELD(rx, Rx, DevInfXmitListElement, DevInfXmitElement, datastore_field::Rx)
    ORVALE_CHILD_FIELD(txPref, TxPref, DevInfXmitElement, datastore_field::TxPref)
    ORVALE_LIST_FIELD(tx, Tx, DevInfXmitListElement, DevInfXmitElement, datastore_field::Tx)
    ORVALE_CHILD_FIELD(dsMem, DSMem, DevInfDsmemElement, datastore_field::DsMem)
    ORVALE_CHILD_FIELD(syncCap, SyncCap, DevInfSyncCapElement, datastore_field::SyncCap)
};

// A PropName or ParamName entry of a CTCap.
class DevInfCtDataElement : public SyncElement {
public:
    DevInfCtDataElement() : SyncElement("DevInfCtDataElement", layout::ctData) {}
    ORVALE_TEXT_FIELD(name, Name, ctdata_field::Name)
    ORVALE_TEXT_FIELD(displayName, DisplayName, ctdata_field::DisplayName)
    ORVALE_TEXT_LIST_FIELD(valEnums, ValEnums, ValEnum, ctdata_field::ValEnums)
    ORVALE_TEXT_FIELD(dataType, DataType, ctdata_field::DataType)
    ORVALE_TEXT_FIELD(size, Size, ctdata_field::Size)
};

class DevInfCtDataPropElement : public SyncElement {
public:
    DevInfCtDataPropElement() : SyncElement("DevInfCtDataPropElement", layout::ctProp) {}
    ORVALE_CHILD_FIELD(property, Property, DevInfCtDataElement, ctprop_field::Prop)
    ORVALE_LIST_FIELD(params, Params, CtDataListElement, DevInfCtDataElement, ctprop_field::Params)
};

class CtCapsInfElement : public SyncElement {
public:
    CtCapsInfElement() : SyncElement("CtCapsInfElement", layout::ctCap) {}
    ORVALE_TEXT_FIELD(ctType, CTType, ctcap_field::CTType)
    ORVALE_LIST_FIELD(props, Props, CtDataPropListElement, DevInfCtDataPropElement, ctcap_field::Props)
};

class DevInfExtElement : public SyncElement {
public:
    DevInfExtElement() : SyncElement("DevInfExtElement", layout::ext) {}
    ORVALE_TEXT_FIELD(xNam, XNam, ext_field::XNam)
    ORVALE_TEXT_LIST_FIELD(xVals, XVals, XVal, ext_field::XVals)
};

class DevInfoElement : public SyncElement {
public:
    DevInfoElement() : SyncElement("DevInfoElement", layout::devInf) {}
    ORVALE_TEXT_FIELD(verDTD, VerDTD, devinf_field::VerDTD)
    ORVALE_TEXT_FIELD(man, Man, devinf_field::Man)
    ORVALE_TEXT_FIELD(mod, Mod, devinf_field::Mod)
    ORVALE_TEXT_FIELD(oem, OEM, devinf_field::OEM)
    ORVALE_TEXT_FIELD(fwV, FwV, devinf_field::FwV)
    ORVALE_TEXT_FIELD(swV, SwV, devinf_field::SwV)
    ORVALE_TEXT_FIELD(hwV, HwV, devinf_field::HwV)
    ORVALE_TEXT_FIELD(devID, DevID, devinf_field::DevID)
    ORVALE_TEXT_FIELD(devTyp, DevTyp, devinf_field::DevTyp)
    ORVALE_FLAG_FIELD(utc, UTC, devinf_field::UTC)
    ORVALE_FLAG_FIELD(supportNumberOfChanges, SupportNumberOfChanges, devinf_field::SupportNumberOfChanges)
    ORVALE_FLAG_FIELD(supportLargeObjs, SupportLargeObjs, devinf_field::SupportLargeObjs)
    ORVALE_LIST_FIELD(dataStores, DataStores, DevInfDatastoreListElement, DevInfDataStoreElement,
                      devinf_field::DataStores)
    ORVALE_LIST_FIELD(ctCaps, CtCaps, CtCapListElement, CtCapsInfElement, devinf_field::CtCaps)
    ORVALE_LIST_FIELD(exts, Exts, ExtListElement, DevInfExtElement, devinf_field::Exts)
    DevInfRecord* devInfRecord() const { return static_cast<DevInfRecord*>(record()); }
};

inline DevInfoElement* devInfFromRecord(const DevInfRecord* r) {
    return static_cast<DevInfoElement*>(elementFromRecord(layout::devInf, r));
}

}  // namespace orvale
