#pragma once
// Our device information document, the answer to the server's Get for it, our own Get for the
// server's, and reading what the server sends back (structured, or as opaque WBXML bytes).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/RemoteDeviceInfo.h"
#include "engine/SyncConfig.h"

namespace orvale {

class DevInfoElement;
class ItemListElement;
class PutOrGet;
class Result;
class SessionDataStore;

inline constexpr const char* kDevInfTarget11 = "./devinf11";
inline constexpr const char* kDevInfTarget10 = "./devinf10";
inline constexpr const char* kDevInfWbxmlType = "application/vnd.syncml-devinf+wbxml";
// Session data key of the server's large-object support, read when an item does not fit.
inline constexpr const char* kKeySupportLargeObjects = "supportLargeObjects";

// A new element (count 0) describing this device and its configured stores.
DevInfoElement* buildDeviceInfo(const ClientConfig& config);

// Answers one received Get. The Results built takes its CmdID from `nextCmdId` (which is then
// increased), references `msgRef` and the Get's CmdID, and is appended to `results` with count 0
// for the caller to queue. Returns the Get's status code.
// Our document is built once per session (`devInfSent` holds whether it was): a message of
// thousands of Gets, or of one Get with thousands of items, would otherwise build as many
// documents. A later request for it is answered 406.
int answerGet(const PutOrGet& get, const ClientConfig& config, std::uint32_t& nextCmdId, const std::string& msgRef,
              std::vector<Result*>& results, bool& devInfSent);

// A Get (count 0) for the server's device information.
PutOrGet* buildDeviceInfoGet(std::uint32_t cmdId, const std::string& verDtd);

// Reads the DevInf items of a received Results or Put into `out` and stores the server's large-object
// support under "supportLargeObjects". Items that hold no DevInf are skipped.
void readServerDeviceInfo(const ItemListElement* items, RemoteDeviceInfo& out, SessionDataStore& data);

}  // namespace orvale
