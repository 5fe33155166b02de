#include "syncml/RecordLayout.h"

#include "syncml/codec/RecordArena.h"

namespace orvale {

namespace {

constexpr FieldLayout pc(TagId t, std::size_t off, bool m = false) {
    return FieldLayout{FieldKind::Pcdata, t, off, m, nullptr, 0};
}
constexpr FieldLayout rec(TagId t, std::size_t off, const RecordLayout* c, bool m = false) {
    return FieldLayout{FieldKind::Record, t, off, m, c, 0};
}
constexpr FieldLayout list(TagId t, std::size_t off, const RecordLayout* c, bool m = false) {
    return FieldLayout{FieldKind::RecordList, t, off, m, c, 0};
}
constexpr FieldLayout pclist(TagId t, std::size_t off, bool m = false) {
    return FieldLayout{FieldKind::PcdataList, t, off, m, nullptr, 0};
}
constexpr FieldLayout flg(TagId t, std::size_t off, std::uint32_t bit) {
    return FieldLayout{FieldKind::Flag, t, off, false, nullptr, bit};
}
template <std::size_t N>
constexpr RecordLayout make(RecordKind k, TagId t, std::size_t size, bool typed, const FieldLayout (&f)[N]) {
    return RecordLayout{k, t, size, typed, f, N};
}

#define OFF(R, F) offsetof(R, F)

const FieldLayout kSource[] = {pc(tag::LocURI, OFF(SourceRecord, locURI), true),
                             pc(tag::LocName, OFF(SourceRecord, locName))};
const FieldLayout kCred[] = {pc(tag::Meta, OFF(CredRecord, meta)), pc(tag::Data, OFF(CredRecord, data), true)};
const FieldLayout kChal[] = {pc(tag::Meta, OFF(ChalRecord, meta), true)};
const FieldLayout kItem[] = {rec(tag::Target, OFF(ItemRecord, target), &layout::target),
                           rec(tag::Source, OFF(ItemRecord, source), &layout::source),
                           pc(tag::Meta, OFF(ItemRecord, meta)), pc(tag::Data, OFF(ItemRecord, data)),
                           flg(tag::MoreData, OFF(ItemRecord, flags), flag::MoreData)};
const FieldLayout kMapItem[] = {rec(tag::Target, OFF(MapItemRecord, target), &layout::target, true),
                              rec(tag::Source, OFF(MapItemRecord, source), &layout::source, true)};

const FieldLayout kHeader[] = {
    pc(tag::VerDTD, OFF(HeaderRecord, verDTD), true),
    pc(tag::VerProto, OFF(HeaderRecord, verProto), true),
    pc(tag::SessionID, OFF(HeaderRecord, sessionID), true),
    pc(tag::MsgID, OFF(HeaderRecord, msgID), true),
    rec(tag::Target, OFF(HeaderRecord, target), &layout::target, true),
    rec(tag::Source, OFF(HeaderRecord, source), &layout::source, true),
    pc(tag::RespURI, OFF(HeaderRecord, respURI)),
    flg(tag::NoResp, OFF(HeaderRecord, flags), flag::NoResp),
    rec(tag::Cred, OFF(HeaderRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(HeaderRecord, meta)),
};
const FieldLayout kStatus[] = {
    pc(tag::CmdID, OFF(StatusRecord, cmdID), true),
    pc(tag::MsgRef, OFF(StatusRecord, msgRef), true),
    pc(tag::CmdRef, OFF(StatusRecord, cmdRef), true),
    pc(tag::Cmd, OFF(StatusRecord, cmd), true),
    pclist(tag::TargetRef, OFF(StatusRecord, targetRef)),
    pclist(tag::SourceRef, OFF(StatusRecord, sourceRef)),
    rec(tag::Cred, OFF(StatusRecord, cred), &layout::cred),
    rec(tag::Chal, OFF(StatusRecord, chal), &layout::chal),
    pc(tag::Data, OFF(StatusRecord, data), true),
    list(tag::Item, OFF(StatusRecord, items), &layout::item),
};
const FieldLayout kAlert[] = {
    pc(tag::CmdID, OFF(AlertRecord, cmdID), true),
    flg(tag::NoResp, OFF(AlertRecord, flags), flag::NoResp),
    rec(tag::Cred, OFF(AlertRecord, cred), &layout::cred),
    pc(tag::Data, OFF(AlertRecord, data)),
    list(tag::Item, OFF(AlertRecord, items), &layout::item),
};
const FieldLayout kSync[] = {
    pc(tag::CmdID, OFF(SyncRecord, cmdID), true),
    flg(tag::NoResp, OFF(SyncRecord, flags), flag::NoResp),
    rec(tag::Cred, OFF(SyncRecord, cred), &layout::cred),
    rec(tag::Target, OFF(SyncRecord, target), &layout::target),
    rec(tag::Source, OFF(SyncRecord, source), &layout::source),
    pc(tag::Meta, OFF(SyncRecord, meta)),
    pc(tag::NumberOfChanges, OFF(SyncRecord, numberOfChanges)),
};
const FieldLayout kGeneric[] = {
    pc(tag::CmdID, OFF(GenericRecord, cmdID), true),
    flg(tag::NoResp, OFF(GenericRecord, flags), flag::NoResp),
    flg(tag::Archive, OFF(GenericRecord, flags), flag::Archive),
    flg(tag::SftDel, OFF(GenericRecord, flags), flag::SftDel),
    rec(tag::Cred, OFF(GenericRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(GenericRecord, meta)),
    list(tag::Item, OFF(GenericRecord, items), &layout::item, true),
};
const FieldLayout kAddLike[] = {
    pc(tag::CmdID, OFF(GenericRecord, cmdID), true),
    flg(tag::NoResp, OFF(GenericRecord, flags), flag::NoResp),
    rec(tag::Cred, OFF(GenericRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(GenericRecord, meta)),
    list(tag::Item, OFF(GenericRecord, items), &layout::item, true),
};
const FieldLayout kAtomicLike[] = {
    pc(tag::CmdID, OFF(GenericRecord, cmdID), true),
    flg(tag::NoResp, OFF(GenericRecord, flags), flag::NoResp),
    pc(tag::Meta, OFF(GenericRecord, meta)),
};
const FieldLayout kExec[] = {
    pc(tag::CmdID, OFF(GenericRecord, cmdID), true),
    flg(tag::NoResp, OFF(GenericRecord, flags), flag::NoResp),
    rec(tag::Cred, OFF(GenericRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(GenericRecord, meta)),
    list(tag::Item, OFF(GenericRecord, items), &layout::item, true),
};
const FieldLayout kPutGet[] = {
    pc(tag::CmdID, OFF(PutGetRecord, cmdID), true),
    flg(tag::NoResp, OFF(PutGetRecord, flags), flag::NoResp),
    pc(tag::Lang, OFF(PutGetRecord, lang)),
    rec(tag::Cred, OFF(PutGetRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(PutGetRecord, meta)),
    list(tag::Item, OFF(PutGetRecord, items), &layout::item, true),
};
const FieldLayout kResults[] = {
    pc(tag::CmdID, OFF(ResultsRecord, cmdID), true),
    pc(tag::MsgRef, OFF(ResultsRecord, msgRef)),
    pc(tag::CmdRef, OFF(ResultsRecord, cmdRef), true),
    pc(tag::Meta, OFF(ResultsRecord, meta)),
    pc(tag::TargetRef, OFF(ResultsRecord, targetRef)),
    pc(tag::SourceRef, OFF(ResultsRecord, sourceRef)),
    list(tag::Item, OFF(ResultsRecord, items), &layout::item, true),
};
const FieldLayout kMap[] = {
    pc(tag::CmdID, OFF(MapRecord, cmdID), true),
    rec(tag::Target, OFF(MapRecord, target), &layout::target, true),
    rec(tag::Source, OFF(MapRecord, source), &layout::source, true),
    rec(tag::Cred, OFF(MapRecord, cred), &layout::cred),
    pc(tag::Meta, OFF(MapRecord, meta)),
    list(tag::MapItem, OFF(MapRecord, mapItems), &layout::mapItem, true),
};
const FieldLayout kSearch[] = {
    pc(tag::CmdID, OFF(SearchRecord, cmdID), true),
    flg(tag::NoResp, OFF(SearchRecord, flags), flag::NoResp),
    flg(tag::NoResults, OFF(SearchRecord, flags), flag::NoResults),
    rec(tag::Cred, OFF(SearchRecord, cred), &layout::cred),
    rec(tag::Target, OFF(SearchRecord, target), &layout::target),
    list(tag::Source, OFF(SearchRecord, sources), &layout::source, true),
    pc(tag::Lang, OFF(SearchRecord, lang)),
    pc(tag::Meta, OFF(SearchRecord, meta), true),
    pc(tag::Data, OFF(SearchRecord, data), true),
};

const FieldLayout kAnchor[] = {pc(tag::Last, OFF(AnchorRecord, last)), pc(tag::Next, OFF(AnchorRecord, next), true)};
const FieldLayout kMem[] = {flg(tag::SharedMem, OFF(MemRecord, flags), flag::SharedMem),
                          pc(tag::FreeMem, OFF(MemRecord, freeMem), true),
                          pc(tag::FreeID, OFF(MemRecord, freeID), true)};
const FieldLayout kMetInf[] = {
    pc(tag::Format, OFF(MetInfRecord, format)),
    pc(tag::Type, OFF(MetInfRecord, type)),
    pc(tag::Mark, OFF(MetInfRecord, mark)),
    pc(tag::Size, OFF(MetInfRecord, size)),
    rec(tag::Anchor, OFF(MetInfRecord, anchor), &layout::anchor),
    pc(tag::Version, OFF(MetInfRecord, version)),
    pc(tag::NextNonce, OFF(MetInfRecord, nextNonce)),
    pc(tag::MaxMsgSize, OFF(MetInfRecord, maxMsgSize)),
    pc(tag::MaxObjSize, OFF(MetInfRecord, maxObjSize)),
    pclist(tag::EMI, OFF(MetInfRecord, emi)),
    rec(tag::Mem, OFF(MetInfRecord, mem), &layout::mem),
};

const FieldLayout kXmit[] = {pc(tag::CTType, OFF(XmitRecord, ctType), true),
                           pc(tag::VerCT, OFF(XmitRecord, verCT), true)};
const FieldLayout kDsMem[] = {flg(tag::DevInfSharedMem, OFF(DsMemRecord, flags), flag::SharedMem),
                            pc(tag::MaxMem, OFF(DsMemRecord, maxMem)), pc(tag::MaxID, OFF(DsMemRecord, maxID))};
const FieldLayout kSyncCap[] = {pclist(tag::SyncType, OFF(SyncCapRecord, syncTypes), true)};
const FieldLayout kDataStore[] = {
    pc(tag::DevInfSourceRef, OFF(DataStoreRecord, sourceRef), true),
    pc(tag::DisplayName, OFF(DataStoreRecord, displayName)),
    pc(tag::MaxGUIDSize, OFF(DataStoreRecord, maxGUIDSize)),
    rec(tag::RxPref, OFF(DataStoreRecord, rxPref), &layout::rxPref, true),
    list(tag::Rx, OFF(DataStoreRecord, rx), &layout::rx),
    rec(tag::TxPref, OFF(DataStoreRecord, txPref), &layout::txPref, true),
    list(tag::Tx, OFF(DataStoreRecord, tx), &layout::tx),
    rec(tag::DSMem, OFF(DataStoreRecord, dsMem), &layout::dsMem),
    rec(tag::SyncCap, OFF(DataStoreRecord, syncCap), &layout::syncCap, true),
};
const FieldLayout kCtData[] = {
    pc(tag::PropName, OFF(CtDataRecord, name), true),  // ParamName for a parameter entry
    pc(tag::DisplayName, OFF(CtDataRecord, displayName)),
    pclist(tag::ValEnum, OFF(CtDataRecord, valEnums)),
    pc(tag::DataType, OFF(CtDataRecord, dataType)),
    pc(tag::DevInfSize, OFF(CtDataRecord, size)),
};
const FieldLayout kCtProp[] = {rec(tag::PropName, OFF(CtPropRecord, prop), &layout::ctData, true),
                             list(tag::ParamName, OFF(CtPropRecord, params), &layout::ctData)};
const FieldLayout kCtCap[] = {pc(tag::CTType, OFF(CtCapRecord, ctType), true),
                            list(tag::PropName, OFF(CtCapRecord, props), &layout::ctProp)};
const FieldLayout kExt[] = {pc(tag::XNam, OFF(ExtRecord, xnam), true), pclist(tag::XVal, OFF(ExtRecord, xvals))};
const FieldLayout kDevInf[] = {
    pc(tag::DevInfVerDTD, OFF(DevInfRecord, verDTD), true),
    pc(tag::Man, OFF(DevInfRecord, man)),
    pc(tag::Mod, OFF(DevInfRecord, mod)),
    pc(tag::OEM, OFF(DevInfRecord, oem)),
    pc(tag::FwV, OFF(DevInfRecord, fwV)),
    pc(tag::SwV, OFF(DevInfRecord, swV)),
    pc(tag::HwV, OFF(DevInfRecord, hwV)),
    pc(tag::DevID, OFF(DevInfRecord, devID), true),
    pc(tag::DevTyp, OFF(DevInfRecord, devTyp), true),
    flg(tag::UTC, OFF(DevInfRecord, flags), flag::Utc),
    flg(tag::SupportNumberOfChanges, OFF(DevInfRecord, flags), flag::SupportNumberOfChanges),
    flg(tag::SupportLargeObjs, OFF(DevInfRecord, flags), flag::SupportLargeObjs),
    list(tag::DataStore, OFF(DevInfRecord, dataStores), &layout::dataStore, true),
    FieldLayout{FieldKind::CtCapBlock, tag::CTCap, OFF(DevInfRecord, ctCaps), false, &layout::ctCap, 0},
    list(tag::Ext, OFF(DevInfRecord, exts), &layout::ext),
};

#undef OFF

}  // namespace

namespace layout {
const RecordLayout header = make(RecordKind::Header, tag::SyncHdr, sizeof(HeaderRecord), true, kHeader);
const RecordLayout status = make(RecordKind::Status, tag::Status, sizeof(StatusRecord), true, kStatus);
const RecordLayout alert = make(RecordKind::Alert, tag::Alert, sizeof(AlertRecord), true, kAlert);
const RecordLayout sync = make(RecordKind::Sync, tag::Sync, sizeof(SyncRecord), true, kSync);
const RecordLayout generic = make(RecordKind::Generic, tag::Delete, sizeof(GenericRecord), true, kGeneric);
const RecordLayout addLike = make(RecordKind::Generic, tag::Add, sizeof(GenericRecord), true, kAddLike);
const RecordLayout atomicLike = make(RecordKind::Generic, tag::Atomic, sizeof(GenericRecord), true, kAtomicLike);
const RecordLayout exec = make(RecordKind::Generic, tag::Exec, sizeof(GenericRecord), true, kExec);
const RecordLayout putGet = make(RecordKind::PutGet, tag::Put, sizeof(PutGetRecord), true, kPutGet);
const RecordLayout results = make(RecordKind::Results, tag::Results, sizeof(ResultsRecord), true, kResults);
const RecordLayout map = make(RecordKind::Map, tag::Map, sizeof(MapRecord), true, kMap);
const RecordLayout search = make(RecordKind::Search, tag::Search, sizeof(SearchRecord), true, kSearch);
const RecordLayout mapItem = make(RecordKind::MapItem, tag::MapItem, sizeof(MapItemRecord), false, kMapItem);
const RecordLayout source = make(RecordKind::Source, tag::Source, sizeof(SourceRecord), false, kSource);
const RecordLayout target = make(RecordKind::Source, tag::Target, sizeof(SourceRecord), false, kSource);
const RecordLayout item = make(RecordKind::Item, tag::Item, sizeof(ItemRecord), false, kItem);
const RecordLayout cred = make(RecordKind::Cred, tag::Cred, sizeof(CredRecord), false, kCred);
const RecordLayout chal = make(RecordKind::Chal, tag::Chal, sizeof(ChalRecord), false, kChal);
const RecordLayout anchor = make(RecordKind::Anchor, tag::Anchor, sizeof(AnchorRecord), false, kAnchor);
const RecordLayout mem = make(RecordKind::Mem, tag::Mem, sizeof(MemRecord), false, kMem);
const RecordLayout metInf = make(RecordKind::MetInf, tag::MetInf, sizeof(MetInfRecord), false, kMetInf);
const RecordLayout devInf = make(RecordKind::DevInf, tag::DevInf, sizeof(DevInfRecord), false, kDevInf);
const RecordLayout dataStore = make(RecordKind::DataStore, tag::DataStore, sizeof(DataStoreRecord), false, kDataStore);
const RecordLayout rx = make(RecordKind::Xmit, tag::Rx, sizeof(XmitRecord), false, kXmit);
const RecordLayout tx = make(RecordKind::Xmit, tag::Tx, sizeof(XmitRecord), false, kXmit);
const RecordLayout rxPref = make(RecordKind::Xmit, tag::RxPref, sizeof(XmitRecord), false, kXmit);
const RecordLayout txPref = make(RecordKind::Xmit, tag::TxPref, sizeof(XmitRecord), false, kXmit);
const RecordLayout dsMem = make(RecordKind::DsMem, tag::DSMem, sizeof(DsMemRecord), false, kDsMem);
const RecordLayout syncCap = make(RecordKind::SyncCap, tag::SyncCap, sizeof(SyncCapRecord), false, kSyncCap);
const RecordLayout ctCap = make(RecordKind::CtCap, tag::CTCap, sizeof(CtCapRecord), false, kCtCap);
const RecordLayout ctProp = make(RecordKind::CtProp, tag::PropName, sizeof(CtPropRecord), false, kCtProp);
const RecordLayout ctData = make(RecordKind::CtData, tag::PropName, sizeof(CtDataRecord), false, kCtData);
const RecordLayout ext = make(RecordKind::Ext, tag::Ext, sizeof(ExtRecord), false, kExt);
}  // namespace layout

void freeRecordTree(const RecordLayout&, void* record) { RecordArena::freeTree(record); }

}  // namespace orvale
