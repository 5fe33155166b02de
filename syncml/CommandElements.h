#pragma once
// The SyncHdr and the commands of a message.
#include <cstdint>
#include <string>

#include "syncml/ItemElements.h"

namespace orvale {

class Header : public SyncElement {
public:
    Header() : SyncElement("Header", layout::header, element_type::SyncHdr) {}
    ORVALE_TEXT_FIELD(verDTD, VerDTD, hdr_field::VerDTD)
    ORVALE_TEXT_FIELD(verProto, VerProto, hdr_field::VerProto)
    ORVALE_TEXT_FIELD(sessionID, SessionID, hdr_field::SessionID)
    ORVALE_TEXT_FIELD(msgID, MsgID, hdr_field::MsgID)
    ORVALE_FLAG_FIELD(noResp, NoResp, hdr_field::NoResp)
    ORVALE_CHILD_FIELD(target, Target, SourceOrTarget, hdr_field::Target)
    ORVALE_CHILD_FIELD(source, Source, SourceOrTarget, hdr_field::Source)
    ORVALE_TEXT_FIELD(respURI, RespURI, hdr_field::RespURI)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, hdr_field::Cred)
    ORVALE_META_FIELD(hdr_field::Meta)
    void setTarget(const std::string& locURI) { setTarget(new SourceOrTarget(locURI)); }
    void setSource(const std::string& locURI) { setSource(new SourceOrTarget(locURI)); }
    HeaderRecord* headerRecord() const { return static_cast<HeaderRecord*>(record()); }
};

class Status : public SyncElement {
public:
    Status() : SyncElement("Status", layout::status, element_type::Status) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, status_field::CmdID)
    ORVALE_TEXT_FIELD(msgRef, MsgRef, status_field::MsgRef)
    ORVALE_TEXT_FIELD(cmdRef, CmdRef, status_field::CmdRef)
    ORVALE_TEXT_FIELD(cmd, Cmd, status_field::Cmd)
    ORVALE_TEXT_LIST_FIELD(targetRefs, TargetRefs, TargetRef, status_field::TargetRef)
    ORVALE_TEXT_LIST_FIELD(sourceRefs, SourceRefs, SourceRef, status_field::SourceRef)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, status_field::Cred)
    ORVALE_CHILD_FIELD(chal, Chal, Chalenger, status_field::Chal)
    ORVALE_TEXT_FIELD(data, Data, status_field::Data)
    ORVALE_LIST_FIELD(items, Items, ItemListElement, ItemElement, status_field::Items)
    StatusRecord* statusRecord() const { return static_cast<StatusRecord*>(record()); }
};

class Alert : public SyncElement {
public:
    Alert() : SyncElement("Alert", layout::alert, element_type::Alert) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, alert_field::CmdID)
    ORVALE_FLAG_FIELD(noResp, NoResp, alert_field::NoResp)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, alert_field::Cred)
    ORVALE_TEXT_FIELD(data, Data, alert_field::Data)
    ORVALE_LIST_FIELD(items, Items, ItemListElement, ItemElement, alert_field::Items)
    AlertRecord* alertRecord() const { return static_cast<AlertRecord*>(record()); }
};

// The Sync command (its start; the toolkit's end-Sync operation closes it).
class StartSync : public SyncElement {
public:
    StartSync() : SyncElement("StartSync", layout::sync, element_type::Sync) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, sync_field::CmdID)
    ORVALE_FLAG_FIELD(noResp, NoResp, sync_field::NoResp)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, sync_field::Cred)
    ORVALE_CHILD_FIELD(target, Target, SourceOrTarget, sync_field::Target)
    ORVALE_CHILD_FIELD(source, Source, SourceOrTarget, sync_field::Source)
    ORVALE_META_FIELD(sync_field::Meta)
    ORVALE_TEXT_FIELD(numberOfChanges, NumberOfChanges, sync_field::NumberOfChanges)
    SyncRecord* syncRecord() const { return static_cast<SyncRecord*>(record()); }
};

// Add, Copy, Delete or Replace, by the element type given at construction.
class Generic : public SyncElement {
public:
    explicit Generic(std::uint32_t elementType) : SyncElement("Generic", layout::generic, elementType) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, generic_field::CmdID)
    ORVALE_FLAG_FIELD(noResp, NoResp, generic_field::NoResp)
    ORVALE_FLAG_FIELD(archive, Archive, generic_field::Archive)
    ORVALE_FLAG_FIELD(sftDel, SftDel, generic_field::SftDel)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, generic_field::Cred)
    ORVALE_META_FIELD(generic_field::Meta)
    ORVALE_LIST_FIELD(items, Items, ItemListElement, ItemElement, generic_field::Items)
    GenericRecord* genericRecord() const { return static_cast<GenericRecord*>(record()); }
};

// Put or Get, by the element type given at construction.
class PutOrGet : public SyncElement {
public:
    explicit PutOrGet(std::uint32_t elementType) : SyncElement("PutOrGet", layout::putGet, elementType) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, putget_field::CmdID)
    ORVALE_FLAG_FIELD(noResp, NoResp, putget_field::NoResp)
    ORVALE_TEXT_FIELD(lang, Lang, putget_field::Lang)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, putget_field::Cred)
    ORVALE_META_FIELD(putget_field::Meta)
    ORVALE_LIST_FIELD(items, Items, ItemListElement, ItemElement, putget_field::Items)
    PutGetRecord* putGetRecord() const { return static_cast<PutGetRecord*>(record()); }
};

class Result : public SyncElement {
public:
    Result() : SyncElement("Result", layout::results, element_type::Results) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, results_field::CmdID)
    ORVALE_TEXT_FIELD(msgRef, MsgRef, results_field::MsgRef)
    ORVALE_TEXT_FIELD(cmdRef, CmdRef, results_field::CmdRef)
    ORVALE_META_FIELD(results_field::Meta)
    ORVALE_TEXT_FIELD(targetRef, TargetRef, results_field::TargetRef)
    ORVALE_TEXT_FIELD(sourceRef, SourceRef, results_field::SourceRef)
    ORVALE_LIST_FIELD(items, Items, ItemListElement, ItemElement, results_field::Items)
    ResultsRecord* resultsRecord() const { return static_cast<ResultsRecord*>(record()); }
};

class Map : public SyncElement {
public:
    Map() : SyncElement("Map", layout::map, element_type::Map) {}
    ORVALE_TEXT_FIELD(cmdID, CmdID, map_field::CmdID)
    ORVALE_CHILD_FIELD(target, Target, SourceOrTarget, map_field::Target)
    ORVALE_CHILD_FIELD(source, Source, SourceOrTarget, map_field::Source)
    ORVALE_CHILD_FIELD(cred, Cred, Cred, map_field::Cred)
    ORVALE_META_FIELD(map_field::Meta)
    ORVALE_LIST_FIELD(mapItems, MapItems, MapItemList, MapItem, map_field::MapItems)
    MapRecord* mapRecord() const { return static_cast<MapRecord*>(record()); }
};

// Typed from-record factories: a new element tree (count 0) that copies the decoded record.
template <class T>
T* fromRecord(const RecordLayout& layout, const void* record) {
    return static_cast<T*>(elementFromRecord(layout, record));
}
inline Header* headerFromRecord(const HeaderRecord* r) { return fromRecord<Header>(layout::header, r); }
inline Status* statusFromRecord(const StatusRecord* r) { return fromRecord<Status>(layout::status, r); }
inline Alert* alertFromRecord(const AlertRecord* r) { return fromRecord<Alert>(layout::alert, r); }
inline StartSync* syncFromRecord(const SyncRecord* r) { return fromRecord<StartSync>(layout::sync, r); }
inline Generic* genericFromRecord(const GenericRecord* r) { return fromRecord<Generic>(layout::generic, r); }
inline PutOrGet* putOrGetFromRecord(const PutGetRecord* r) { return fromRecord<PutOrGet>(layout::putGet, r); }
inline Result* resultFromRecord(const ResultsRecord* r) { return fromRecord<Result>(layout::results, r); }
inline Map* mapFromRecord(const MapRecord* r) { return fromRecord<Map>(layout::map, r); }

}  // namespace orvale
