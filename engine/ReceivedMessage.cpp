#include "engine/ReceivedMessage.h"

namespace orvale {

namespace {

ReceivedMessage& target(void* user) { return *static_cast<ReceivedMessage*>(user); }

template <class Element, class Record>
ToolkitCode queue(void* user, CommandKind kind, Record* record, Element* (*wrap)(const Record*)) {
    Element* element = wrap(record);
    toolkit::freeRecord(record);
    target(user).commands.push_back({kind, ElementRef<SyncElement>(element)});
    return code::Ok;
}

ToolkitCode onHeader(toolkit::InstanceId, void* user, HeaderRecord* r) {
    return queue(user, CommandKind::SyncHdr, r, headerFromRecord);
}
ToolkitCode onEnd(toolkit::InstanceId, void* user, bool final) {
    if (final) {
        target(user).final = true;
        target(user).commands.push_back({CommandKind::Final, {}});
    }
    return code::Ok;
}
ToolkitCode onSync(toolkit::InstanceId, void* user, SyncRecord* r) {
    return queue(user, CommandKind::Sync, r, syncFromRecord);
}
ToolkitCode onSyncEnd(toolkit::InstanceId, void* user) {
    target(user).commands.push_back({CommandKind::Sync, {}});
    return code::Ok;
}
ToolkitCode onAdd(toolkit::InstanceId, void* user, GenericRecord* r) {
    return queue(user, CommandKind::Add, r, genericFromRecord);
}
ToolkitCode onReplace(toolkit::InstanceId, void* user, GenericRecord* r) {
    return queue(user, CommandKind::Replace, r, genericFromRecord);
}
ToolkitCode onDelete(toolkit::InstanceId, void* user, GenericRecord* r) {
    return queue(user, CommandKind::Delete, r, genericFromRecord);
}
ToolkitCode onAlert(toolkit::InstanceId, void* user, AlertRecord* r) {
    return queue(user, CommandKind::Alert, r, alertFromRecord);
}
ToolkitCode onGet(toolkit::InstanceId, void* user, PutGetRecord* r) {
    return queue(user, CommandKind::Get, r, putOrGetFromRecord);
}
ToolkitCode onPut(toolkit::InstanceId, void* user, PutGetRecord* r) {
    return queue(user, CommandKind::Put, r, putOrGetFromRecord);
}
ToolkitCode onResults(toolkit::InstanceId, void* user, ResultsRecord* r) {
    return queue(user, CommandKind::Results, r, resultFromRecord);
}
ToolkitCode onMap(toolkit::InstanceId, void*, MapRecord* r) {
    toolkit::freeRecord(r);
    return code::Ok;
}
ToolkitCode onStatus(toolkit::InstanceId, void* user, StatusRecord* r) {
    Status* status = statusFromRecord(r);
    toolkit::freeRecord(r);
    target(user).statuses.push_back(ElementRef<Status>(status));
    return code::Ok;
}

}  // namespace

toolkit::Callbacks receivedMessageCallbacks() {
    toolkit::Callbacks cb;
    cb.startMessage = onHeader;
    cb.endMessage = onEnd;
    cb.startSync = onSync;
    cb.endSync = onSyncEnd;
    cb.add = onAdd;
    cb.alert = onAlert;
    cb.deleteCommand = onDelete;
    cb.get = onGet;
    cb.put = onPut;
    cb.map = onMap;
    cb.results = onResults;
    cb.status = onStatus;
    cb.replace = onReplace;
    return cb;
}

}  // namespace orvale
