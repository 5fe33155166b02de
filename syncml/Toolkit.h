#pragma once
// The toolkit: workspaces (at most 4, within one memory limit) and instances that encode messages
// into their workspace and decode received ones through callbacks.
//
// Building a message (engine): fill a Header and the command elements, then
//   startMessage(id, header->headerRecord(), 2); addStatus(id, status->statusRecord()); ...
//   endMessage(id, final); lockReadBuffer(id, p, n) -> send p[0..n); unlockReadBuffer(id, n).
// A command that does not fit returns 0x2002 and leaves the earlier commands intact: end the
// message, send it, and add the command to the next one.
// Reading a message: lockWriteBuffer / copy the reply / unlockWriteBuffer, then processData(id,
// kProcessAll). Each decoded command reaches its callback as a record the callback owns: wrap it
// with the from-record factory (CommandElements.h) and free it with freeRecord.
// An instance made with encoding kEncodingXml writes and reads SyncML XML instead of WBXML: the same
// records, templates and codes (the engine always asks for WBXML).
#include <cstddef>
#include <cstdint>
#include <string>

#include "syncml/ToolkitCodes.h"
#include "syncml/ToolkitRecords.h"

namespace orvale::toolkit {

using InstanceId = std::uint16_t;

inline constexpr std::uint8_t kEncodingWbxml = 1;
inline constexpr std::uint8_t kEncodingXml = 2;
inline constexpr int kProcessAll = 4;
inline constexpr int kProcessOne = 1;

struct InstanceOptions {
    std::uint8_t encoding = kEncodingWbxml;
    std::uint32_t workspaceSize = 0;
    std::string workspaceName;
};

// The 22 callback slots, in slot order. Null slots are not installed.
struct Callbacks {
    ToolkitCode (*startMessage)(InstanceId, void*, HeaderRecord*) = nullptr;
    ToolkitCode (*endMessage)(InstanceId, void*, bool final) = nullptr;
    ToolkitCode (*startSync)(InstanceId, void*, SyncRecord*) = nullptr;
    ToolkitCode (*endSync)(InstanceId, void*) = nullptr;
    ToolkitCode (*startAtomic)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*endAtomic)(InstanceId, void*) = nullptr;
    ToolkitCode (*startSequence)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*endSequence)(InstanceId, void*) = nullptr;
    ToolkitCode (*add)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*alert)(InstanceId, void*, AlertRecord*) = nullptr;
    ToolkitCode (*deleteCommand)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*get)(InstanceId, void*, PutGetRecord*) = nullptr;
    ToolkitCode (*put)(InstanceId, void*, PutGetRecord*) = nullptr;
    ToolkitCode (*map)(InstanceId, void*, MapRecord*) = nullptr;
    ToolkitCode (*results)(InstanceId, void*, ResultsRecord*) = nullptr;
    ToolkitCode (*status)(InstanceId, void*, StatusRecord*) = nullptr;
    ToolkitCode (*replace)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*copy)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*exec)(InstanceId, void*, GenericRecord*) = nullptr;
    ToolkitCode (*search)(InstanceId, void*, SearchRecord*) = nullptr;
    ToolkitCode (*handleError)(InstanceId, void*) = nullptr;
    ToolkitCode (*transmitChunk)(InstanceId, void*) = nullptr;
};

ToolkitCode initToolkit(std::uint32_t maxWorkspaceMemory);
ToolkitCode terminateToolkit();

ToolkitCode initInstance(const InstanceOptions& options, const Callbacks& callbacks, void* userData, InstanceId& id);
ToolkitCode terminateInstance(InstanceId id);

ToolkitCode startMessage(InstanceId id, const HeaderRecord* header, std::uint8_t version);
ToolkitCode startSync(InstanceId id, const SyncRecord* sync);
ToolkitCode endSync(InstanceId id);
ToolkitCode addAdd(InstanceId id, const GenericRecord* command);
ToolkitCode addAlert(InstanceId id, const AlertRecord* command);
ToolkitCode addDelete(InstanceId id, const GenericRecord* command);
ToolkitCode addGet(InstanceId id, const PutGetRecord* command);
ToolkitCode addPut(InstanceId id, const PutGetRecord* command);
ToolkitCode addMap(InstanceId id, const MapRecord* command);
ToolkitCode addResults(InstanceId id, const ResultsRecord* command);
ToolkitCode addStatus(InstanceId id, const StatusRecord* command);
ToolkitCode addReplace(InstanceId id, const GenericRecord* command);
ToolkitCode endMessage(InstanceId id, bool final);
// The bytes an Add or Replace would take in the message under construction, counted without
// adding it (a large object's chunk is cut to the room left).
ToolkitCode sizeOfAdd(InstanceId id, const GenericRecord* command, std::uint32_t& size);
ToolkitCode sizeOfReplace(InstanceId id, const GenericRecord* command, std::uint32_t& size);

ToolkitCode lockReadBuffer(InstanceId id, const std::uint8_t*& data, std::uint32_t& size);
ToolkitCode unlockReadBuffer(InstanceId id, std::uint32_t consumed);
ToolkitCode lockWriteBuffer(InstanceId id, std::uint8_t*& data, std::uint32_t& freeSize);
ToolkitCode unlockWriteBuffer(InstanceId id, std::uint32_t written);

ToolkitCode processData(InstanceId id, int mode);
// Byte offset in the received message where the last decoding error was found.
std::size_t lastErrorOffset(InstanceId id);

void freeRecord(HeaderRecord* r);
void freeRecord(SyncRecord* r);
void freeRecord(GenericRecord* r);
void freeRecord(AlertRecord* r);
void freeRecord(PutGetRecord* r);
void freeRecord(MapRecord* r);
void freeRecord(ResultsRecord* r);
void freeRecord(StatusRecord* r);
void freeRecord(SearchRecord* r);
void freeDevInfRecord(DevInfRecord* r);

}  // namespace orvale::toolkit
